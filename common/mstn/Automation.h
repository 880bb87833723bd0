// What the programs call on MicroStation's automation object. The members keep the names the
// automation server gives them. Implemented by the proxy to a running MicroStation and by fakes.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vtl::mstn {

// The automation class, the process image and the main window class of MicroStation.
inline constexpr char kAutomationClass[] = "MicroStation.Application";
inline constexpr char kProcessImage[] = "ustation.exe";
inline constexpr char kMainWindowClass[] = "MSTNTop";
inline constexpr char kAutomationSwitch[] = "/Automation";

// Raised, as an automation error, when the server is gone or never answered.
inline constexpr long kServerUnavailable = 462;

struct Point {
    double x = 0;
    double y = 0;
    double z = 0;
};

class Element {
public:
    virtual ~Element() = default;
    // Reads the element found from position on; its position, negative at the end of the file.
    virtual int32_t fromFile(int32_t position, int32_t fileIndex = 0) = 0;
    virtual int32_t fileSize() = 0;
    // Where the element the object holds now lies; after a Rewrite that moved it, its new
    // position. Negative while it holds none.
    virtual int32_t filePos() { return -1; }
    virtual int32_t Type() = 0;
    // 0 (MBE_Success) when the element holds text.
    virtual int32_t GetString(std::string& text) = 0;
    virtual int32_t GetOrigin(Point& origin) = 0;
    virtual int32_t getEndPoints(Point& start, Point& end) = 0;
    virtual int32_t Level() = 0;
    virtual int32_t Color() = 0;
    virtual int32_t Weight() = 0;
    // 0 while a further component follows.
    virtual int32_t nextComponent() = 0;
    virtual int32_t setString(const std::string& text) = 0;
    virtual int32_t Rewrite() = 0;
    virtual int32_t Publish(const std::string& name) = 0;
};

class RefFiles {
public:
    virtual ~RefFiles() = default;
    virtual int32_t maxRefFiles() = 0;
    virtual bool active(int32_t index) = 0;
    virtual bool notFound(int32_t index) = 0;
    virtual bool display(int32_t index) = 0;
    virtual std::string Filename(int32_t index) = 0;
};

class Application {
public:
    virtual ~Application() = default;
    virtual void MbeSendCommand(const std::string& keyin) = 0;
    virtual void MbeSendkeyin(const std::string& keyin) = 0;
    virtual void MbeSetAppVariable(const std::string& application, const std::string& variable,
                                   double value) = 0;
    virtual void MbeSendAppMessage(const std::string& application, const std::string& message) = 0;
    virtual void MbeSendReset() = 0;
    virtual void mbeSendDataPoint(const Point& point) = 0;
    virtual int32_t MbeCExpressionLong(const std::string& expression) = 0;
    virtual std::string MbeGetConfigVar(const std::string& name) = 0;
    virtual std::shared_ptr<Element> MbeElement() = 0;
    virtual Point MbePoint() { return Point{}; }
    virtual std::shared_ptr<RefFiles> MbeRefFiles() = 0;
    virtual int32_t Visible() = 0;
    virtual void setVisible(int32_t visible) = 0;
    virtual void Quit() = 0;

    // Runs work with the members whose outcome nobody reads (key-ins, settings, resets, data
    // points) sent on without waiting for each: they reach MicroStation in order, and a call
    // that needs an answer waits for all of them first. MicroStation runs nothing sent after one
    // that failed, as a caller that waited would have stopped there; that failure is raised by
    // the next call within work that waits, else when work has ended, before any error of work's
    // own (which came later). Work that ends MicroStation ("exit") does not belong here: the
    // closing wait would find it gone. By default each call is waited for.
    virtual void withoutWaiting(const std::function<void()>& work) { work(); }
    // Runs done once MicroStation has run every call made before it: at once where each call is
    // waited for; within withoutWaiting when the next waited call returns. It is dropped when one
    // of those calls failed, as a caller that waited would have stopped before reaching it.
    virtual void whenRun(const std::function<void()>& done) { done(); }

    static constexpr int32_t MBE_Success = 0;
    static constexpr int32_t MBE_TEXT = 17;
};

}  // namespace vtl::mstn
