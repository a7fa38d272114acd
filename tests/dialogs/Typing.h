#pragma once
// Types text into a widget key by key, as the keyboard would, also for letters
// beyond Latin-1 (Czech letters, the euro sign, characters of other scripts).
#include <QString>
#include <QTest>

inline void TypeText(QWidget* widget, const QString& text) {
    for (const QChar c : text) {
        QTest::sendKeyEvent(QTest::Click, widget, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}
