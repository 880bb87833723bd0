// The stand-in plot command, run as the command interpreter runs it: parameter files, metafiles,
// plot queues and the failures the real command reports.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <QImage>
#include <cstdlib>
#include <filesystem>

#include "dgn/DesignFile.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

namespace fs = std::filesystem;

constexpr char kParameters[] =
    "! plot parameters of the project\r\n"
    "size=A3\r\n"
    "queue=\\\\old\\queue\r\n";

class IplotTest : public ::testing::Test {
protected:
    struct Result {
        int exitCode;
        std::string out, err;
    };

    // Runs iplot.exe with the arguments (shell text).
    Result iplot(const std::string& arguments) {
        const std::string line = "'" + std::string(VTL_STANDINS_DIR) + "/iplot.exe' " + arguments +
                                 " >'" + (capture / "out").string() + "' 2>'" +
                                 (capture / "err").string() + "'";
        int status = std::system(line.c_str());
        return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, test::readFile(capture / "out"),
                test::readFile(capture / "err")};
    }

    std::string quoted(const fs::path& path) const { return "'" + path.string() + "'"; }

    // A drawing with one red diagonal line.
    fs::path drawing(const std::string& name) {
        const fs::path file = work / name;
        dgn::DesignFile design = dgn::DesignFile::create(file, dgn::Dimension::Two);
        dgn::Element line =
            dgn::makeLine(design.header().toUors(0, 0), design.header().toUors(10, 5));
        line.symbology.color = 3;
        design.append(line);
        return file;
    }

    fs::path queue(const std::string& relative) {
        fs::path folder = home.path() / "plotqueues" / relative;
        fs::create_directories(folder);
        return folder;
    }

    test::ScopedPlatformHome home;
    test::TempDir work, capture;
};

TEST_F(IplotTest, APlotGoesFromTheParameterFileToItsQueueAsAPicture) {
    const fs::path folder = queue("plotserver/iso a3");
    const fs::path parm = work.write("P1001_001.i", kParameters);
    const fs::path design = drawing("P 1001.i01");
    const std::string p = quoted(parm);

    EXPECT_EQ(iplot("modify '-queue=\\\\plotserver\\iso a3' " + p).exitCode, 0);
    EXPECT_EQ(iplot("modify " + quoted("-design=" + design.string()) + " " + p).exitCode, 0);
    EXPECT_EQ(iplot("modify '-detach[iplot_all]' " + p).exitCode, 0);
    EXPECT_EQ(test::readFile(parm),
              "! plot parameters of the project\r\n"
              "size=A3\r\n"
              "queue=\\\\plotserver\\iso a3\r\n"
              "design=" +
                  design.string() +
                  "\r\n"
                  "references=detached\r\n");

    Result generated = iplot("generate " + p);
    ASSERT_EQ(generated.exitCode, 0) << generated.err;
    const fs::path metafile = work / "P1001_001.m";
    ASSERT_TRUE(fs::exists(metafile));
    EXPECT_TRUE(test::entryNames(folder).empty());

    Result submitted = iplot("submit " + p);
    ASSERT_EQ(submitted.exitCode, 0) << submitted.err;
    EXPECT_EQ(submitted.out,
              "iplot: plot P1001_001.png submitted to queue \\\\plotserver\\iso a3\r\n");
    EXPECT_EQ(test::entryNames(folder), std::vector<std::string>{"P1001_001.png"});
    QImage plot(QString::fromStdString((folder / "P1001_001.png").string()), "PNG");
    ASSERT_FALSE(plot.isNull());
    // The line in colour 3 (red) on the black view.
    bool red = false;
    for (int y = 0; y < plot.height() && !red; ++y) {
        for (int x = 0; x < plot.width() && !red; ++x)
            red = plot.pixelColor(x, y) == QColor(Qt::red);
    }
    EXPECT_TRUE(red);

    const std::string journal = test::readFile(home.path() / "iplot-journal.log");
    EXPECT_NE(journal.find("iplot submit " + parm.string() + "  ->  plot P1001_001.png"),
              std::string::npos)
        << journal;
}

TEST_F(IplotTest, ALocalQueueIsAFolderOfItsName) {
    const fs::path folder = queue("A4-local");
    const fs::path parm = work.write("x_000.i", "");
    iplot("modify -queue=A4-local " + quoted(parm));
    iplot("modify " + quoted("-design=" + drawing("x.ics").string()) + " " + quoted(parm));
    ASSERT_EQ(iplot("generate " + quoted(parm)).exitCode, 0);
    ASSERT_EQ(iplot("submit " + quoted(parm)).exitCode, 0);
    EXPECT_EQ(test::entryNames(folder), std::vector<std::string>{"x_000.png"});
}

TEST_F(IplotTest, FailsAsTheRealCommandWould) {
    const fs::path parm = work.write("p.i", "");
    const std::string p = quoted(parm);
    Result r = iplot("");
    EXPECT_EQ(r.exitCode, 2);
    EXPECT_NE(r.err.find("usage: iplot modify -queue=QUEUE PARMFILE"), std::string::npos);
    EXPECT_EQ(iplot("modify -colour=red " + p).exitCode, 2);
    EXPECT_EQ(iplot("print " + p).exitCode, 2);

    r = iplot("modify -queue=q " + quoted(work / "none.i"));
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err.rfind("iplot: cannot read the parameter file " + (work / "none.i").string(), 0),
              0u)
        << r.err;
    EXPECT_EQ(iplot("modify '-queue=\\\\server\\..\\x' " + p).err,
              "iplot: '\\\\server\\..\\x' is no plot queue name\r\n");

    EXPECT_EQ(iplot("generate " + p).err,
              "iplot: the parameter file " + parm.string() + " names no design\r\n");
    iplot("modify " + quoted("-design=" + (work / "gone.i01").string()) + " " + p);
    EXPECT_EQ(iplot("generate " + p).err,
              "iplot: the design file " + (work / "gone.i01").string() + " is not found\r\n");
    const fs::path notDesign = work.write("text.i01", "no design file");
    iplot("modify " + quoted("-design=" + notDesign.string()) + " " + p);
    r = iplot("generate " + p);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_NE(r.err.find("iplot: no plot could be generated from " + notDesign.string()),
              std::string::npos)
        << r.err;
    EXPECT_FALSE(fs::exists(work / "p.m"));

    EXPECT_EQ(iplot("submit " + p).err,
              "iplot: the parameter file " + parm.string() + " names no queue\r\n");
    iplot("modify -queue=nowhere " + p);
    EXPECT_EQ(iplot("submit " + p).err, "iplot: there is no plot queue nowhere\r\n");
    queue("nowhere");
    r = iplot("submit " + p);
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_EQ(r.err, "iplot: there is no metafile " + (work / "p.m").string() +
                         "; run iplot generate first\r\n");
}

}  // namespace
}  // namespace vtl
