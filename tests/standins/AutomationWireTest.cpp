// The automation proxy against the stand-in's server over a real local socket, with the server
// on a thread of its own (as it is a process of its own in use) and a fake application behind it.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QJsonDocument>
#include <QJsonObject>
#include <QThread>
#include <QTimer>

#include "AutomationServer.h"
#include "ServerChecks.h"
#include "mstn/Protocol.h"
#include "mstn/RemoteApplication.h"
#include "support/FakeMicroStation.h"
#include "support/ServerThread.h"
#include "support/TempDir.h"

namespace vtl {
namespace {

class AutomationWireTest : public ::testing::Test {
protected:
    test::ScopedPlatformHome home;
    test::FakeMicroStation fake;
};

TEST_F(AutomationWireTest, MemberCallsReachTheApplicationWithTheirArguments) {
    fake.expressions["tcb->uorpersub"] = 1000;
    fake.configVars["MS_DATA"] = "/data/";
    test::ServerThread server(fake);
    ASSERT_TRUE(server.listening());
    auto app = mstn::connectApplication();
    app->MbeSendCommand("newfile /tmp/a \"b\"\\c\t\x01 \xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80.dgn");
    app->MbeSetAppVariable("cnvdgn", "convert3d", 1.5);
    app->mbeSendDataPoint({1.25, -2, 0.1});
    EXPECT_EQ(app->MbeCExpressionLong("tcb->uorpersub"), 1000);
    EXPECT_EQ(app->MbeGetConfigVar("MS_DATA"), "/data/");
    EXPECT_EQ(app->MbeGetConfigVar("MS_NONE"), "");
    server.stop();
    ASSERT_EQ(fake.keyins.size(), 1u);
    EXPECT_EQ(fake.keyins[0],
              "newfile /tmp/a \"b\"\\c\t\x01 \xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80.dgn");
    EXPECT_EQ(fake.calls[1], "MbeSetAppVariable(cnvdgn, convert3d, 1.5)");
    EXPECT_EQ(fake.calls[2], "mbeSendDataPoint(1.25, -2, 0.1)");
}

// The server reads any well-formed request, as another JSON writer (Qt's) spells it, and skips
// a line that is none.
TEST_F(AutomationWireTest, RequestsAreReadAsAnyJsonWriterSpellsThem) {
    const QByteArray qt =
        QJsonDocument(
            QJsonObject{{"member", "Rewrite"},
                        {"id", 7},
                        {"object", 3},
                        {"noReply", true},
                        {"args", QJsonArray{QString::fromUtf8("a\"\\\n\u00e4\U0001F600"), 0.1, -3,
                                            true, QJsonValue()}},
                        {"state", QJsonObject{{"position", 2048},
                                              {"file", 0},
                                              {"component", 1},
                                              {"strings", QJsonArray{QJsonArray{1, "x\ty"}}}}}})
            .toJson();
    const std::optional<mstn::wire::Request> r = mstn::wire::decodeRequest(qt);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->member, "Rewrite");
    EXPECT_EQ(r->id, 7);
    EXPECT_EQ(r->object, 3);
    EXPECT_FALSE(r->wantsReply);
    EXPECT_EQ(r->args, (QJsonArray{QString::fromUtf8("a\"\\\n\u00e4\U0001F600"), 0.1, -3, true,
                                   QJsonValue()}));
    ASSERT_TRUE(r->state);
    EXPECT_EQ(r->state->position, 2048);
    EXPECT_EQ(r->state->component, 1);
    EXPECT_EQ(r->state->strings, (std::vector<std::pair<int32_t, std::string>>{{1, "x\ty"}}));
    const auto escaped = mstn::wire::decodeRequest(R"({"member":"\u0041\ud83d\ude00\/"})");
    ASSERT_TRUE(escaped);
    EXPECT_EQ(escaped->member, "A\xF0\x9F\x98\x80/");
    for (const char* bad :
         {"", "{", R"({"id":1})", R"({"member":1})", R"({"member":"x","args":[1,]})",
          R"({"member":"x"} trailing)", R"({"member":"\ud83d"})", "{\"member\":\"a\x01\"}"}) {
        EXPECT_FALSE(mstn::wire::decodeRequest(bad)) << bad;
    }
}

TEST_F(AutomationWireTest, ElementObjectsAnswerWithTheirOutArguments) {
    test::ServerThread server(fake);
    auto app = mstn::connectApplication();
    auto element = app->MbeElement();
    EXPECT_EQ(element->fromFile(0), -1);
    std::string text = "stale";
    EXPECT_EQ(element->GetString(text), 1);
    EXPECT_EQ(text, "");
    mstn::Point a{9, 9, 9}, b;
    element->getEndPoints(a, b);
    EXPECT_EQ(a.x, 0);
    EXPECT_EQ(app->MbeRefFiles()->maxRefFiles(), 0);
}

TEST_F(AutomationWireTest, AFailingMemberRaisesItsAutomationError) {
    fake.failOnCall(2, Error(1234, "", "the design file is read-only"));
    test::ServerThread server(fake);
    auto app = mstn::connectApplication();
    app->MbeSendReset();
    try {
        app->MbeSendCommand("fit all");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), 1234);
        EXPECT_EQ(e.description(), "the design file is read-only");
        EXPECT_EQ(e.source(), "MicroStation");
    }
    EXPECT_THROW(app->MbeCExpressionLong("unknown expression"), Error);
    app->MbeSendReset();  // the connection survives errors
}

// Key-ins sent without waiting: the server runs nothing after the one that failed, as a caller
// that waited for each would have stopped there, and its failure is the one raised, also when
// the caller meanwhile met an error of its own.
TEST_F(AutomationWireTest, APostedKeyinThatFailsIsRaisedWhereAWaitingCallerWouldHaveStopped) {
    fake.failOnCall(2, Error(1234, "", "the design file is read-only"));
    {
        test::ServerThread server(fake);
        auto app = mstn::connectApplication();
        bool wentOn = false;
        try {
            app->withoutWaiting([&] {
                app->MbeSendCommand("place lstring");
                app->MbeSendCommand("xy=1,2");
                app->MbeSendCommand("xy=3,4");
                wentOn = true;
                throw Error(1, "", "a later error of the caller's own");
            });
            FAIL() << "no error";
        } catch (const Error& e) {
            EXPECT_EQ(e.number(), 1234);
            EXPECT_EQ(e.description(), "the design file is read-only");
        }
        EXPECT_TRUE(wentOn);
        app->MbeSendReset();  // the failure told, calls run again
    }
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"MbeSendCommand(place lstring)",
                                                    "MbeSendCommand(xy=1,2)", "MbeSendReset()"}));
    const std::string journal = test::readFile(home.path() / "ustation-journal.log");
    EXPECT_NE(journal.find("call MbeSendCommand(\"xy=1,2\")"), std::string::npos);
    EXPECT_EQ(journal.find("xy=3,4"), std::string::npos);
    EXPECT_EQ(journal.find("Sync"), std::string::npos);
}

TEST_F(AutomationWireTest, TheFirstCallThatWaitsRaisesAPostedFailureAndIsNotRun) {
    fake.failOnCall(1, Error(1234, "", "the design file is read-only"));
    fake.configVars["MS_DATA"] = "/data/";
    test::ServerThread server(fake);
    auto app = mstn::connectApplication();
    app->withoutWaiting([&] {
        app->MbeSendCommand("newfile /tmp/a.dgn");
        EXPECT_THROW(app->MbeGetConfigVar("MS_DATA"), Error);
        app->MbeSendReset();
        EXPECT_EQ(app->MbeGetConfigVar("MS_DATA"), "/data/");
    });
    server.stop();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"MbeSendCommand(newfile /tmp/a.dgn)",
                                                    "MbeSendReset()", "MbeGetConfigVar(MS_DATA)"}));
}

TEST_F(AutomationWireTest, KeyinsPostedToAServerThatIsGoneFailWithItsError) {
    auto server = std::make_unique<test::ServerThread>(fake);
    auto app = mstn::connectApplication();
    app->MbeSendReset();
    server.reset();
    try {
        app->withoutWaiting([&] { app->MbeSendCommand("NULL"); });
        FAIL() << "a server that is gone took the key-in";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), mstn::kServerUnavailable);
    }
}

// A member that handles events itself (the stand-in brings a new title to the screen so) lets
// the server's socket read the calls sent after it without a signal of their own.
TEST_F(AutomationWireTest, CallsThatArriveWhileAMemberHandlesEventsAreRunAllTheSame) {
    fake.configVars["MS_DATA"] = "/data/";
    fake.onKeyin = [](const std::string& keyin) {
        if (keyin != "newfile /tmp/a.dgn") return;
        QThread::msleep(200);  // the caller's next calls arrive meanwhile
        QCoreApplication::processEvents();
    };
    test::ServerThread server(fake);
    auto app = mstn::connectApplication();
    QObject scope;  // a call left waiting is let go by ending the server
    QTimer::singleShot(10000, &scope, [&server] { server.stop(); });
    std::string answer;
    app->withoutWaiting([&] {
        app->MbeSendCommand("newfile /tmp/a.dgn");
        app->MbeSendReset();
        answer = app->MbeGetConfigVar("MS_DATA");
    });
    EXPECT_EQ(answer, "/data/");
}

TEST_F(AutomationWireTest, TheJournalListsEveryCall) {
    {
        test::ServerThread server(fake);
        auto app = mstn::connectApplication();
        app->MbeSendCommand("place lstring");
        app->MbeSendReset();
    }
    std::string journal = test::readFile(home.path() / "ustation-journal.log");
    EXPECT_NE(journal.find("call MbeSendCommand(\"place lstring\")"), std::string::npos);
    EXPECT_NE(journal.find("call MbeSendReset()"), std::string::npos);
}

TEST_F(AutomationWireTest, NoServerMeansCannotCreateObject) {
    try {
        mstn::connectApplication();
        FAIL() << "attached to nothing";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), err::CannotCreateObject);
    }
}

TEST_F(AutomationWireTest, ACallToAServerThatIsGoneFailsPromptly) {
    auto server = std::make_unique<test::ServerThread>(fake);
    auto app = mstn::connectApplication();
    app->MbeSendReset();
    server.reset();
    test::expectServerGone(*app);
}

TEST_F(AutomationWireTest, TimersFireWhileACallWaitsForAStalledServer) {
    test::ServerThread server(fake);
    test::expectTimersFireDuringStall(400, "MbeSendReset");
}

// A reply that the event processing inside a call reads into the socket's buffer is the call's
// reply all the same: the call returns at once rather than wait for bytes that never come. Some
// calls stall past the call's poll step, and a busy timer handles pending events meanwhile, as
// the program's waits do.
TEST_F(AutomationWireTest, ManyCallsWhileTimersRunNeverStall) {
    test::ServerThread server(fake);
    auto app = mstn::connectApplication();
    mstn::Channel control(mstn::wire::endpoint());
    int ticks = 0;
    QTimer busy;
    QObject::connect(&busy, &QTimer::timeout, [&ticks] {
        ++ticks;
        QThread::usleep(3000);
        QCoreApplication::processEvents();
    });
    busy.start(0);
    // A call that hangs is let go by ending the server; the hang is counted.
    int hung = 0;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        ++hung;
        server.stop();
    });
    for (int i = 0; i < 20000 && hung == 0; ++i) {
        if (i % 400 == 0) control.call(mstn::wire::kApplicationObject, "TestStall", {12});
        watchdog.start(5000);
        try {
            app->MbeSendReset();
        } catch (const Error& e) {
            ADD_FAILURE() << "call " << i << ": " << e.description();
            break;
        }
    }
    EXPECT_EQ(hung, 0);
    EXPECT_GT(ticks, 0);
}

}  // namespace
}  // namespace vtl
