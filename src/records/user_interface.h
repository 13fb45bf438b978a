#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// What the core needs to show to the user and ask of them. The windows implement it; tests
// script it. Every question returns std::nullopt when the user cancels it; a user interface
// that cannot ask (a silent one for measurements, say) cancels every question.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A plain modal message box titled "Taktplan" with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The non-modal reminder window with its caption and text.
    virtual void showReminder(const QString& caption, const QString& text) = 0;
    // Closes the reminder window if it still shows this caption and text (the note of a pause
    // that has ended); anything shown since stays.
    virtual void withdrawReminder(const QString& /*caption*/, const QString& /*text*/) {}

    virtual std::optional<QString> askText(const QString& /*caption*/, const QString& /*prompt*/,
                                           const QString& /*defaultText*/) {
        return std::nullopt;
    }
    virtual std::optional<QTime> askTime(const QString& /*caption*/, const QString& /*prompt*/,
                                         QTime /*defaultTime*/) {
        return std::nullopt;
    }
    virtual std::optional<QDate> askDate(const QString& /*caption*/, const QString& /*prompt*/,
                                         QDate /*defaultDate*/) {
        return std::nullopt;
    }
    virtual std::optional<int> askNumber(const QString& /*caption*/, const QString& /*prompt*/,
                                         int /*defaultValue*/, int /*minimum*/, int /*maximum*/) {
        return std::nullopt;
    }
    // Yes is true, No false; a question closed without an answer is cancelled (a window
    // implementation may take Esc as "No", as yes/no boxes commonly do).
    virtual std::optional<bool> askYesNo(const QString& /*caption*/, const QString& /*question*/) {
        return std::nullopt;
    }
    // filter as Qt writes it ("Textdatei (*.txt)"); suggestedName may be a path or empty.
    virtual std::optional<QString> askOpenFileName(const QString& /*caption*/, const QString& /*filter*/,
                                                   const QString& /*suggestedName*/) {
        return std::nullopt;
    }
    // A name without a suffix gets the first one of the filter; an existing file is only
    // chosen after the user agreed to replace it.
    virtual std::optional<QString> askSaveFileName(const QString& /*caption*/, const QString& /*filter*/,
                                                   const QString& /*suggestedName*/) {
        return std::nullopt;
    }
};
