// The tray icon's menu and icons as one picture, for the README: a notification area cannot be
// had under Xvfb, so the menu widget is drawn by itself, in a pause of a running plan.
// Usage: tray_picture <file.png>   (QT_QPA_PLATFORM=offscreen; TAKTPLAN_LANGUAGE picks the texts)
#include "translation.h"
#include "tray_icon.h"

#include <QApplication>
#include <QMenu>
#include <QPainter>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    const QString program = QCoreApplication::applicationDirPath() + QStringLiteral("/..");
    const QString locale = translation::localeFolder(program);
    translation::setUp(locale, translation::chooseLanguage(translation::userLanguageCode(),
                                                           translation::availableLanguages(locale)));
    RunStatePublisher publisher;
    publisher.update([](RunState& s) {
        s.phase = RunState::Phase::Pause;
        s.ticking = true;
        s.remainingSeconds = 4 * 60 + 20;
        s.runMenuEnabled = false;
        s.startCaption =
            QStringLiteral("%1 (2)").arg(traylook::caption(traylook::Item::NeuPlanen, RunState()));
    });
    TrayIcon tray(publisher,
                  {{}, {}, [] { return timermenu::Situation{true, false, true, false, 2, false, false}; }});
    QMenu* menu = tray.menu();
    emit menu->aboutToShow();
    menu->adjustSize();
    const QPixmap menuPicture = menu->grab();
    const int icon = 48, gap = 12;
    const traylook::Icon icons[] = {
        {QStringLiteral("24"), true}, {QStringLiteral("4"), false}, {QString(), true}};
    QPixmap picture(icon + 3 * gap + menuPicture.width(),
                    std::max(menuPicture.height(), 3 * icon + 4 * gap) + 2 * gap);
    picture.fill(QColor(0xd8, 0xdc, 0xe0));
    QPainter p(&picture);
    for (int i = 0; i < 3; ++i)
        p.drawPixmap(gap, gap + i * (icon + gap), TrayIcon::render(icons[i], icon));
    p.drawPixmap(icon + 2 * gap, gap, menuPicture);
    p.end();
    return picture.save(QString::fromLocal8Bit(argv[1])) ? 0 : 1;
}
