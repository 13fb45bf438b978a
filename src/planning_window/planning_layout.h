#pragma once

#include <QObject>

class InputStrip;
class PlanListView;
class QWidget;

// How the Planning window's client area is laid out: the plan list above, the entry strip (while
// shown) along the bottom, both in the font the settings ask for. Follows the area's size.
class PlanningLayout final : public QObject {
    Q_DISABLE_COPY_MOVE(PlanningLayout)

public:
    PlanningLayout(QWidget& client, PlanListView& list, InputStrip& strip);

    // Schriftgroesse; 0 or less: the default size.
    void applyFont(int pointSize);
    void arrange();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget& m_client;
    PlanListView& m_list;
    InputStrip& m_strip;
};
