#include "tf_ueber.h"

#include "screen_centre.h"
#include "shell.h"
#include "taktplan_version.h"
#include "translate.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QShowEvent>
#include <QTextOption>
#include <QVBoxLayout>

#include <functional>

namespace {

// A label that opens its address when clicked.
class LinkLabel final : public QLabel {
public:
    LinkLabel(const QString& text, std::function<void()> open, QWidget* parent)
        : QLabel(text, parent), m_open(std::move(open)) {
        setCursor(Qt::PointingHandCursor);
        QFont f = font();
        f.setUnderline(true);
        setFont(f);
        QPalette p = palette();
        p.setColor(QPalette::WindowText, p.color(QPalette::Link));
        setPalette(p);
    }

protected:
    void mouseReleaseEvent(QMouseEvent* event) override {
        QLabel::mouseReleaseEvent(event);
        if (rect().contains(event->position().toPoint()))
            m_open();
    }

private:
    std::function<void()> m_open;
};

QLabel* centredLine(const QString& name, const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    return label;
}

} // namespace

TFUeber::TFUeber(Shell& shell, Links links, QWidget* parent)
    : QWidget(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint), m_shell(shell) {
    setObjectName(QStringLiteral("FUeber"));
    setFixedSize(277, 313);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(centredLine(QStringLiteral("lblProgramm"),
                                  tr_("Taktplan – der Tag in festen Einheiten, entwickelt vom Taktplan-Team"),
                                  this));
    layout->addWidget(
        addLink(QStringLiteral("lblProgrammLink"), tr_("Zur Seite des Programms"), links.program));
    layout->addSpacing(8);
    layout->addWidget(centredLine(
        QStringLiteral("lblTechnik"),
        tr_("Die Dezuzedu-Technik: gleich lange Arbeitseinheiten, dazwischen kurze Pausen"), this));
    layout->addWidget(
        addLink(QStringLiteral("lblTechnikLink"), tr_("Mehr über die Dezuzedu-Technik"), links.technique));

    mmo1 = new QPlainTextEdit(this);
    mmo1->setObjectName(QStringLiteral("mmo1"));
    mmo1->setReadOnly(true);
    mmo1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    mmo1->setPlainText(tr_("„Ein Tag wird nicht länger, wenn man ihn füllt – aber klarer, wenn man ihn "
                           "in Takte teilt.“"));
    // A plain text edit lays its lines out by the document's text option alone; a block's own
    // alignment does not reach it.
    QTextOption centred = mmo1->document()->defaultTextOption();
    centred.setAlignment(Qt::AlignHCenter);
    mmo1->document()->setDefaultTextOption(centred);
    mmo1->installEventFilter(this);
    layout->addWidget(mmo1, 1);

    btnSchliessen = new QPushButton(tr_("Schließen"), this);
    btnSchliessen->setObjectName(QStringLiteral("btnSchliessen"));
    btnSchliessen->installEventFilter(this);
    connect(btnSchliessen, &QPushButton::clicked, this, &QWidget::hide);
    layout->addWidget(btnSchliessen);
}

QLabel* TFUeber::addLink(const QString& name, const QString& text, const QString& address) {
    QLabel* label = nullptr;
    if (address.isEmpty())
        label = new QLabel(text, this);
    else
        label = new LinkLabel(
            text, [this, address] { m_shell.openAddress(address); }, this);
    label->setObjectName(name);
    label->setAlignment(Qt::AlignCenter);
    return label;
}

void TFUeber::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    setWindowTitle(tr_("Über Taktplan") + u' ' + QStringLiteral(TAKTPLAN_VERSION));
    if (!event->spontaneous())
        centreOnItsScreen(*this);
}

void TFUeber::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        hide();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TFUeber::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            return true;
        }
        // Ctrl+A in the quotation selects it even though it cannot be edited.
        if (watched == mmo1 && key->matches(QKeySequence::SelectAll)) {
            mmo1->selectAll();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}
