#pragma once

#include "user_interface.h"

#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <deque>

// The user as a test scripts them: records what the core showed, and answers questions from a
// queue in order. A question nobody scripted (or of another kind than scripted) is a test
// failure and counts as cancelled, so no test ever waits for a dialog.
class ScriptedUi final : public UserInterface {
    using S = const QString&;

public:
    enum class Kind { Text, Time, Date, Number, YesNo, OpenFile, SaveFile };

    // The next question of that kind gets this answer; an invalid value cancels it.
    void answer(Kind kind, const QVariant& value = QVariant()) { m_answers.emplace_back(kind, value); }
    void cancel(Kind kind) { answer(kind); }
    bool allAnswered() const { return m_answers.empty(); }

    void showMessage(const QString& text) override { messages.append(text); }
    void showReminder(S caption, S text) override {
        reminders.append(caption + QStringLiteral(" | ") + text);
    }
    void withdrawReminder(S caption, S text) override {
        reminders.append(QStringLiteral("closed: ") + caption + QStringLiteral(" | ") + text);
    }
    std::optional<QString> askText(S caption, S prompt, S def) override {
        return take<QString>(Kind::Text, {caption, prompt, def});
    }
    std::optional<QTime> askTime(S caption, S prompt, QTime def) override {
        return take<QTime>(Kind::Time, {caption, prompt, def.toString(QStringLiteral("hh:mm"))});
    }
    std::optional<QDate> askDate(S caption, S prompt, QDate def) override {
        return take<QDate>(Kind::Date, {caption, prompt, def.toString(QStringLiteral("dd.MM.yyyy"))});
    }
    std::optional<int> askNumber(S caption, S prompt, int def, int min, int max) override {
        return take<int>(Kind::Number,
                         {caption, prompt, QString::number(def), QString::number(min), QString::number(max)});
    }
    std::optional<bool> askYesNo(S caption, S question) override {
        return take<bool>(Kind::YesNo, {caption, question});
    }
    std::optional<QString> askOpenFileName(S caption, S filter, S suggested) override {
        return take<QString>(Kind::OpenFile, {caption, filter, suggested});
    }
    std::optional<QString> askSaveFileName(S caption, S filter, S suggested) override {
        return take<QString>(Kind::SaveFile, {caption, filter, suggested});
    }

    QStringList messages, reminders;
    // Every question asked, its texts joined by "|".
    QStringList questions;

private:
    template <typename T> std::optional<T> take(Kind kind, const QStringList& texts) {
        questions.append(texts.join(QLatin1Char('|')));
        if (m_answers.empty() || m_answers.front().first != kind) {
            ADD_FAILURE() << "unscripted question: " << questions.last().toStdString();
            return std::nullopt;
        }
        const QVariant value = m_answers.front().second;
        m_answers.pop_front();
        return value.isValid() ? std::optional<T>(value.value<T>()) : std::nullopt;
    }

    std::deque<std::pair<Kind, QVariant>> m_answers;
};
