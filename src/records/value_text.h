#pragma once

#include <QDate>
#include <QString>
#include <QStringView>

// The one reader of numbers and dates in the program's text files (plan file, settings file,
// activity log). Hand-edited files may carry blanks around a value and one-digit days and
// months; anything else is not a value.
namespace valuetext {

// A decimal whole number with an optional sign; false when it does not fit an int.
bool readInt(QStringView text, int* out);
// "dd.mm.yyyy"; day and month may have one digit, the year has four.
bool readDate(QStringView text, QDate* out);
QString formatDate(QDate date); // "dd.mm.yyyy"

} // namespace valuetext
