#pragma once
// Keys as a widget receives them from the keyboard: one key pressed and released,
// and text typed key by key, also letters beyond Latin-1 (Czech letters, the euro
// sign, characters of other scripts), which carry no key code of their own.
#include <QApplication>
#include <QKeyEvent>
#include <QString>
#include <QWidget>

inline void PressKey(QWidget* widget, Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier,
                     const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers, text);
    QApplication::sendEvent(widget, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers, text);
    QApplication::sendEvent(widget, &release);
}

inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        const QChar upper = c.toUpper();
        const bool hasKeyCode = (upper >= QLatin1Char('A') && upper <= QLatin1Char('Z')) ||
                                (upper >= QLatin1Char('0') && upper <= QLatin1Char('9')) || upper == QLatin1Char(' ');
        PressKey(widget, hasKeyCode ? static_cast<Qt::Key>(upper.unicode()) : Qt::Key_unknown, Qt::NoModifier,
                 QString(c));
    }
}
