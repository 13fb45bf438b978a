#include "tf_debugger.h"

#include "records.h"
#include "screen_centre.h"
#include "shell.h"
#include "translate.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTimer>
#include <QVBoxLayout>

TFDebugger::TFDebugger(Records& records, Shell& shell, std::function<bool()> foregroundKeeping,
                       QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint),
      m_records(records), m_shell(shell), m_foregroundKeeping(std::move(foregroundKeeping)) {
    setObjectName(QStringLiteral("FDebugger"));
    setWindowTitle(tr_("Debugger"));
    resize(809, 538);

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(addButton(QStringLiteral("btn2"), tr_("Logdatei in Taktplan laden"),
                                 [this] { m_records.activityLog.LoadLog(); }));
    buttons->addWidget(addButton(QStringLiteral("btn3"), tr_("Logeintrag schreiben (\"Test\")"), [this] {
        m_records.activityLog.WriteLogEntry(QStringLiteral("Test"), true);
    }));
    buttons->addWidget(addButton(QStringLiteral("btnLogDateiExternOeffnen"), tr_("Dezuzedu-Logdatei ansehen"),
                                 [this] { m_shell.openFile(m_records.settings.LogDateiPfad); }));
    buttons->addWidget(addButton(QStringLiteral("btnGespeicherteDebugLogs"),
                                 tr_("Gespeicherte Debug-Logs ansehen"),
                                 [this] { m_shell.openFile(m_records.debugLogPath()); }));
    buttons->addStretch(1);
    layout->addLayout(buttons);

    lblFTimerTmrVordergrund = new QLabel(this);
    lblFTimerTmrVordergrund->setObjectName(QStringLiteral("lblFTimerTmrVordergrund"));
    layout->addWidget(lblFTimerTmrVordergrund);

    mmoDebugLog = new QPlainTextEdit(this);
    mmoDebugLog->setObjectName(QStringLiteral("mmoDebugLog"));
    mmoDebugLog->setLineWrapMode(QPlainTextEdit::NoWrap);
    mmoDebugLog->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoDebugLog->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    mmoDebugLog->setPlainText(QStringLiteral("==="));
    m_shown = mmoDebugLog->toPlainText();
    layout->addWidget(mmoDebugLog, 1);

    tmrRefreshDebugLog = new QTimer(this);
    tmrRefreshDebugLog->setObjectName(QStringLiteral("tmrRefreshDebugLog"));
    tmrRefreshDebugLog->setInterval(1000);
    connect(tmrRefreshDebugLog, &QTimer::timeout, this, &TFDebugger::tmrRefreshDebugLogTimer);
    tmrRefreshDebugLog->start();
}

QPushButton* TFDebugger::addButton(const QString& name, const QString& caption,
                                   const std::function<void()>& action) {
    auto* button = new QPushButton(caption, this);
    button->setObjectName(name);
    connect(button, &QPushButton::clicked, this, action);
    return button;
}

void TFDebugger::tmrRefreshDebugLogTimer() {
    const bool running = m_foregroundKeeping && m_foregroundKeeping();
    lblFTimerTmrVordergrund->setText(running ? tr_("FTimer.tmrVordergrund läuft.")
                                             : tr_("FTimer.tmrVordergrund läuft NICHT."));
    // Nobody sees a hidden memo; it catches up the moment it is shown.
    if (!isVisible())
        return;
    const QString& text = m_records.debugLog.text();
    // Replaced only when different, so the memo neither flickers nor loses its scroll position
    // while nothing happens; an edit by hand counts as different.
    const bool edited = mmoDebugLog->document()->isModified();
    if (text == m_shown && !edited)
        return;
    // New lines only: appended, so a long run's text is not laid out again every second and
    // the reader keeps the place scrolled to. Once the memo has grown by as much as it shows,
    // it is filled anew with the end of the text.
    const QString crlf = QStringLiteral("\r\n");
    const bool appendable = !edited && text.size() > m_shown.size() + crlf.size() &&
                            text.startsWith(m_shown) &&
                            QStringView(text).sliced(m_shown.size()).startsWith(crlf);
    const qsizetype added = text.size() - m_shown.size();
    if (appendable && m_appended + added <= shownChars) {
        mmoDebugLog->appendPlainText(shownText(QStringView(text).sliced(m_shown.size() + crlf.size())));
        m_appended += added;
    } else {
        mmoDebugLog->setPlainText(shownText(text));
        m_appended = 0;
    }
    mmoDebugLog->document()->setModified(false);
    m_shown = text;
}

QString TFDebugger::shownText(QStringView text) {
    const QStringView crlf = u"\r\n";
    QString shown;
    if (text.size() > shownChars) {
        // From the beginning of the line the last shownChars characters begin in; a line too
        // long for the memo is cut below anyway.
        const qsizetype lineBreak = text.lastIndexOf(crlf, text.size() - shownChars);
        text = text.sliced(lineBreak < 0 ? 0 : lineBreak + crlf.size());
        shown =
            tr_("(Ältere Zeilen ausgelassen: der ganze Text steht nach dem Programmende in debug_log.txt.)");
        shown += u'\n';
    }
    shown.reserve(shown.size() + text.size());
    qsizetype from = 0;
    for (;;) {
        const qsizetype lineEnd = text.indexOf(crlf, from);
        const QStringView line = text.sliced(from, (lineEnd < 0 ? text.size() : lineEnd) - from);
        if (line.size() > shownLineChars) {
            shown += line.first(shownLineChars);
            shown += QChar(0x2026); // …
        } else {
            shown += line;
        }
        if (lineEnd < 0)
            break;
        shown += u'\n';
        from = lineEnd + crlf.size();
    }
    return shown;
}

void TFDebugger::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    centreOnItsScreen(*this);
    tmrRefreshDebugLogTimer();
}
