#pragma once

#include <QString>
#include <QWidget>

#include <functional>

class Clock;
struct Records;
class TitleComboBox;
class UserInterface;
class Worklist;

// The entry strip below the plan list (pnlHinzu): the title field, ENTER adding what was typed
// to the plan, and the switch between a unit and a pause that remembers the unit's title.
class InputStrip final : public QWidget {
public:
    struct Services {
        const Clock& clock;
        Records& records;
        Worklist& worklist;
        UserInterface& ui;
        // Runs a plan operation, as the window guards it.
        std::function<bool(const std::function<void()>&, const char*)> guarded;
        std::function<bool()> savePlan;
    };

    InputStrip(Services services, QWidget* parent);

    TitleComboBox* field() const { return m_field; }

    // Entry input.
    void onEnter();
    void onAddUnit();
    void onAddPause();
    // The recent titles and the last one, selected; the first-start hint if one is pending.
    void refill();
    // The first-start hint "Hier Aufgabe eingeben und ENTER drücken"; before the window shows
    // it is kept for the refill.
    void showFirstStartHint();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    Services m_services;
    TitleComboBox* m_field;
    QString m_rememberedUnitTitle;
    bool m_firstStartHintPending = false;
};
