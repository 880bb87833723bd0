#include "ColorTable.h"

#include <string>
#include <system_error>

#include "core/Environment.h"
#include "platform/AtomicFile.h"

namespace vtl::ustation {

namespace fs = std::filesystem;

namespace {

constexpr int kEntries = 256;
// Shades after the first eight: 16 hues in rows of falling brightness and saturation.
constexpr int kHues = 16;

ColorTable makeDefault() {
    ColorTable table;
    const QColor classic[] = {
        Qt::white,           Qt::blue, Qt::green, Qt::red, Qt::yellow, QColor(255, 0, 255),
        QColor(255, 127, 0), Qt::cyan};
    int i = 0;
    for (const QColor& color : classic) table[i++] = color;
    for (; i < kEntries - 1; ++i) {
        int shade = i - 8;
        int row = shade / kHues;
        int value = 255 - row * 14;
        int saturation = row % 2 == 0 ? 255 : 160;
        QColor shaded = QColor::fromHsv((shade % kHues) * 360 / kHues, saturation, value);
        table[i] = QColor(shaded.red(), shaded.green(), shaded.blue());  // 8 bits, as stored
    }
    table[kEntries - 1] = Qt::black;
    return table;
}

void writeTable(const fs::path& file, const ColorTable& table) {
    std::string bytes;
    for (const QColor& c : table) {
        bytes += static_cast<char>(c.red());
        bytes += static_cast<char>(c.green());
        bytes += static_cast<char>(c.blue());
    }
    // Written beside and renamed, so a reader never sees half a table; a table that cannot be
    // written leaves no file, and the built-in one serves.
    platform::replaceFileContents(file, bytes);
}

}  // namespace

const ColorTable& defaultColorTable() {
    static const ColorTable table = makeDefault();
    return table;
}

fs::path dataFolder() {
    fs::path folder = env::platformHome() / "data";
    std::error_code ignored;
    fs::create_directories(folder, ignored);
    return folder;
}

fs::path colorTableFile() {
    fs::path file = dataFolder() / "color.tbl";
    std::error_code ec;
    if (!fs::exists(file, ec)) writeTable(file, defaultColorTable());
    return file;
}

ColorTable activeColorTable() {
    const std::string bytes = platform::readWholeFile(colorTableFile()).value_or("");
    if (bytes.size() < 3 * kEntries) return defaultColorTable();
    ColorTable table;
    for (int i = 0; i < kEntries; ++i) {
        auto byte = [&](int k) { return static_cast<unsigned char>(bytes[3 * i + k]); };
        table[i] = QColor(byte(0), byte(1), byte(2));
    }
    return table;
}

}  // namespace vtl::ustation
