// Checks of the automation wire that hold alike for the stand-in's server on a thread of its own
// and for the stand-in as a process of its own.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <string>

#include "core/Error.h"
#include "mstn/RemoteApplication.h"

namespace vtl::test {

// The server behind the proxy has gone: the next call fails with error 462 within a second.
inline void expectServerGone(mstn::Application& app) {
    QElapsedTimer timer;
    timer.start();
    try {
        app.MbeSendCommand("NULL");
        ADD_FAILURE() << "a server that is gone answered";
    } catch (const Error& e) {
        EXPECT_EQ(e.number(), mstn::kServerUnavailable);
    }
    EXPECT_LT(timer.elapsed(), 1000);
}

// Makes the server stall its next member call for stallMs, then calls the member: the call waits
// that long, and a timer set meanwhile still fires.
inline void expectTimersFireDuringStall(int stallMs, const std::string& member,
                                        const QJsonArray& args = {}) {
    mstn::Channel channel(mstn::wire::endpoint());
    channel.call(mstn::wire::kApplicationObject, "TestStall", {stallMs});
    bool fired = false;
    QObject scope;  // the timer goes with it, should the call return before it fires
    QTimer::singleShot(50, &scope, [&] { fired = true; });
    QElapsedTimer timer;
    timer.start();
    channel.call(mstn::wire::kApplicationObject, member, args);
    EXPECT_GE(timer.elapsed(), stallMs - 50);
    EXPECT_TRUE(fired);
}

}  // namespace vtl::test
