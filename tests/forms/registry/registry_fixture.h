// Shared set-up of the registry tests: the test store read into a fresh registry,
// the probe kinds, a recorder bound to every handler, and widget look-ups.
#pragma once

#include "probe_kinds.h"
#include "test_store.h"

#include "forms/registry/qt_text.h"
#include "forms/registry/window_registry.h"

#include <QApplication>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>

namespace qr::forms::testing {

// A UTF-8 literal as the bytes gtest's matchers see on standard error.
inline const char* utf8(const char8_t* text) { return reinterpret_cast<const char*>(text); }

// Runs everything queued: posted events, deferred destruction, timers due now.
inline void settle()
{
    for (int i = 0; i < 3; ++i) {
        QCoreApplication::sendPostedEvents();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCoreApplication::processEvents();
    }
}

inline QWidget* windowWidget(std::uint32_t windowId)
{
    const QString name = QString::asprintf("0x%08X", windowId);
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name && !w->isHidden())
            return w;
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w->objectName() == name)
            return w;
    return nullptr;
}

template <class T = QWidget> T* componentWidget(std::uint32_t windowId, const char* nameGbk)
{
    QWidget* window = windowWidget(windowId);
    return window ? window->findChild<T*>(toQString(nameGbk)) : nullptr;
}

// Clicks the default button of every modal box that opens, from a timer, until
// the test ends (or the process does, in a death test).
inline void answerModalBoxesWithDefault()
{
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, [] {
        if (QWidget* modal = QApplication::activeModalWidget())
            QMetaObject::invokeMethod(modal, "accept", Qt::QueuedConnection);
    });
    timer->start(20);
}

class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        static const std::vector<std::uint8_t> bytes = testStoreBytes();
        initFormsRuntime(bytes);
        registerProbeKinds();
        creationLog().clear();
        recorder = std::make_unique<Recorder>();
    }

    void TearDown() override
    {
        destroyAllWindows();
        recorder.reset();
        settle();
    }

    std::unique_ptr<Recorder> recorder;
};

} // namespace qr::forms::testing
