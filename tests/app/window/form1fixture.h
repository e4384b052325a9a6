#pragma once
// A real TForm1 for window tests: "Config.dat" in a temporary folder, messages
// recorded instead of shown (with whether the main window was visible then),
// and helpers that type and wait like a user.

#include "app/window/form1.h"
#include "effects/forms/luxstartup.h"
#include "app/transfer/portsettings.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QKeyEvent>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

struct RecordedMessage {
    QString text;
    QString caption;
    bool mainWindowVisible = false;
};

// True when a main window is on screen.
inline bool mainWindowVisible()
{
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (qobject_cast<TForm1*>(widget) && widget->isVisible())
            return true;
    return false;
}

// Lets events run until `done` holds or `ms` pass; returns `done()`.
inline bool waitUntil(const std::function<bool()>& done, int ms = 20000)
{
    QDeadlineTimer deadline(ms);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    return done();
}

inline void pressKey(QWidget* target, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = QString())
{
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(target, &release);
}

// Types `text` key by key, as a user would.
inline void typeText(QWidget* target, const QString& text)
{
    for (const QChar c : text)
        pressKey(target, c.toUpper().unicode(), Qt::NoModifier, QString(c));
}

// Selects the whole text (Ctrl+A), then types over it.
inline void overtype(QWidget* target, const QString& text)
{
    pressKey(target, Qt::Key_A, Qt::ControlModifier);
    typeText(target, text);
}

class Form1Fixture {
public:
    // A "Config.dat" whose port index names no item: the port box starts
    // empty and the port cannot open, whatever serial ports this machine has.
    static TPortSettings portlessSettings()
    {
        TPortSettings settings;
        settings.PortIndex = 255;
        return settings;
    }

    explicit Form1Fixture(const TPortSettings& settings = portlessSettings())
    {
        // The About box reads its component stream with the classes the
        // effects register at start-up, as the program does first.
        luxStartup();
        EXPECT_TRUE(WriteSettingsFile(configPath(), settings));
    }

    QString configPath() const { return ConfigPathIn(dir.path()); }

    FormSetup setup()
    {
        FormSetup s;
        s.settingsDir = dir.path();
        s.showMessage = [this](const QString& text, const QString& caption) {
            messages.append({text, caption, mainWindowVisible()});
        };
        s.askQuestion = [this](const QString& text) {
            questions.append(text);
            return sendAnyway;
        };
        return s;
    }

    TForm1& create()
    {
        form = std::make_unique<TForm1>(setup());
        return *form;
    }

    bool saw(const QString& text) const
    {
        for (const RecordedMessage& m : messages)
            if (m.text == text)
                return true;
        return false;
    }

    template <typename T>
    T* find(const char* name) const
    {
        return form->findChild<T*>(QLatin1String(name));
    }

    QTemporaryDir dir;
    QList<RecordedMessage> messages;
    QStringList questions; // asked instead of shown
    bool sendAnyway = true; // the answer to each question
    std::unique_ptr<TForm1> form;
};
