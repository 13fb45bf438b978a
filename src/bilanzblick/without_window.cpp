// Bilanzblick built with a Qt that has no Charts: the window is not there, the export is.
#include "bilanz_window.h"
#include "translate.h"
#include "translation.h"

#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>

namespace bilanzwindow {

int run(int argc, char** argv, const QString& logPath) {
    Q_UNUSED(logPath);
    QApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Bilanzblick"));
    const QString localeFolder = translation::localeFolder(QCoreApplication::applicationDirPath());
    translation::setUp(localeFolder,
                       translation::chooseLanguage(translation::userLanguageCode(),
                                                   translation::availableLanguages(localeFolder)));
    // Started from "Auswertung" or the start menu: say why no window comes, and what there is.
    QMessageBox::information(
        nullptr, tr_("Bilanzblick – Auswertung"),
        tr_("Diese Ausgabe von Bilanzblick wurde ohne Qt Charts gebaut und hat daher kein Fenster. "
            "Die Tage eines Zeitraums gibt sie auf der Kommandozeile aus, zum Beispiel:") +
            QStringLiteral("\n\n%1 --export days --format csv --from 2025-12-01 --to 2025-12-31 > tage.csv")
                .arg(QFileInfo(QCoreApplication::applicationFilePath()).fileName()));
    return 1;
}

} // namespace bilanzwindow
