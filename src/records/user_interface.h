#pragma once

#include <QDate>
#include <QString>
#include <QTime>

#include <optional>

// What the core needs to show to the user and ask of them. The windows implement it; tests
// script it. Every question returns std::nullopt when the user cancels it.
class UserInterface {
public:
    virtual ~UserInterface() = default;

    // A plain modal message box titled "Taktplan" with an OK button.
    virtual void showMessage(const QString& text) = 0;
    // The non-modal reminder window with its caption and text.
    virtual void showReminder(const QString& caption, const QString& text) = 0;

    virtual std::optional<QString> askText(const QString& caption, const QString& prompt,
                                           const QString& defaultText) = 0;
    virtual std::optional<QTime> askTime(const QString& caption, const QString& prompt,
                                         QTime defaultTime) = 0;
    virtual std::optional<QDate> askDate(const QString& caption, const QString& prompt,
                                         QDate defaultDate) = 0;
    virtual std::optional<int> askNumber(const QString& caption, const QString& prompt, int defaultValue,
                                         int minimum, int maximum) = 0;
    // Yes is true, No false; a question closed without an answer is cancelled (a window
    // implementation may take Esc as "No", as yes/no boxes commonly do).
    virtual std::optional<bool> askYesNo(const QString& caption, const QString& question) = 0;
    // filter as Qt writes it ("Textdatei (*.txt)"); suggestedName may be a path or empty.
    virtual std::optional<QString> askOpenFileName(const QString& caption, const QString& filter,
                                                   const QString& suggestedName) = 0;
    // A name without a suffix gets the first one of the filter; an existing file is only
    // chosen after the user agreed to replace it.
    virtual std::optional<QString> askSaveFileName(const QString& caption, const QString& filter,
                                                   const QString& suggestedName) = 0;
};
