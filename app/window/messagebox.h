#pragma once
// The tool's message boxes: modal, one OK button, no icon, no owner window.
// The event loop keeps running inside, so timer ticks go on while one is open.

#include <QString>

#include <functional>

// Shows `text` under `caption`; an empty caption means the application's title.
using MessageShower = std::function<void(const QString& text, const QString& caption)>;

// The application's title: the name of the executable.
QString ApplicationTitle();

// The real modal box; returns when the user closes it.
void ShowModalMessage(const QString& text, const QString& caption);

// Asks `text` with Yes and No under the application's title; true for Yes.
using QuestionAsker = std::function<bool(const QString& text)>;

// The real modal box, with No the default button (Enter answers No; Escape
// and closing the box too).
bool AskModalQuestion(const QString& text);
