#pragma once

#include "user_interface.h"

#include <QStringList>
#include <QVariant>

#include <gtest/gtest.h>

#include <deque>
#include <optional>

// The user as a test scripts them: records what the core showed, and answers questions from a
// queue in order. A question nobody scripted (or of another kind than scripted) is a test
// failure and counts as cancelled, so no test ever waits for a dialog.
class ScriptedUi final : public UserInterface {
public:
    enum class Kind { Text, Time, Date, Number, YesNo, OpenFile, SaveFile };

    // The next question of that kind gets this answer; an invalid value cancels it.
    void answer(Kind kind, const QVariant& value = QVariant()) { m_answers.push_back({kind, value}); }
    void cancel(Kind kind) { answer(kind); }
    bool allAnswered() const { return m_answers.empty(); }

    void showMessage(const QString& text) override { messages.append(text); }
    void showReminder(const QString& caption, const QString& text) override {
        reminders.append(caption + QStringLiteral(" | ") + text);
    }
    std::optional<QString> askText(const QString& caption, const QString& prompt,
                                   const QString& def) override {
        return take<QString>(Kind::Text, {caption, prompt, def});
    }
    std::optional<QTime> askTime(const QString& caption, const QString& prompt, QTime def) override {
        return take<QTime>(Kind::Time, {caption, prompt, def.toString(QStringLiteral("hh:mm"))});
    }
    std::optional<QDate> askDate(const QString& caption, const QString& prompt, QDate def) override {
        return take<QDate>(Kind::Date, {caption, prompt, def.toString(QStringLiteral("dd.MM.yyyy"))});
    }
    std::optional<int> askNumber(const QString& caption, const QString& prompt, int def, int minimum,
                                 int maximum) override {
        return take<int>(Kind::Number, {caption, prompt, QString::number(def), QString::number(minimum),
                                        QString::number(maximum)});
    }
    std::optional<bool> askYesNo(const QString& caption, const QString& question) override {
        return take<bool>(Kind::YesNo, {caption, question});
    }
    std::optional<QString> askOpenFileName(const QString& caption, const QString& filter,
                                           const QString& suggestedName) override {
        return take<QString>(Kind::OpenFile, {caption, filter, suggestedName});
    }
    std::optional<QString> askSaveFileName(const QString& caption, const QString& filter,
                                           const QString& suggestedName) override {
        return take<QString>(Kind::SaveFile, {caption, filter, suggestedName});
    }

    QStringList messages;
    QStringList reminders;
    // Every question asked, its texts joined by "|".
    QStringList questions;

private:
    struct Answer {
        Kind kind;
        QVariant value;
    };

    template <typename T> std::optional<T> take(Kind kind, const QStringList& texts) {
        questions.append(texts.join(QLatin1Char('|')));
        if (m_answers.empty() || m_answers.front().kind != kind) {
            ADD_FAILURE() << "unscripted question: " << questions.last().toStdString();
            return std::nullopt;
        }
        const QVariant value = m_answers.front().value;
        m_answers.pop_front();
        if (!value.isValid())
            return std::nullopt;
        return value.value<T>();
    }

    std::deque<Answer> m_answers;
};
