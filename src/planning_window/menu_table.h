#pragma once

#include "menu_keys.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <functional>
#include <utility>

class QAction;
class QMenu;
class QObject;
class QWidget;

// One row of a window's menu table. A row without a caption is a separator.
struct MenuItemSpec {
    MenuItemSpec() = default;
    MenuItemSpec(QString caption_, QKeySequence key_, std::function<void()> handler_, bool hidden_ = false,
                 QString objectName_ = {}, MenuKeys::Keypad keypad_ = MenuKeys::Keypad::Any,
                 bool ignoreShift_ = false)
        : caption(std::move(caption_)), key(std::move(key_)), handler(std::move(handler_)), hidden(hidden_),
          objectName(std::move(objectName_)), keypad(keypad_), ignoreShift(ignoreShift_) {}

    QString caption;
    QKeySequence key;
    // None: the key is taken and nothing happens.
    std::function<void()> handler;
    // A hidden item sits in no menu: it never shows, only its key acts.
    bool hidden = false;
    // The same in every language, so tests and scripts can find the item.
    QString objectName;
    MenuKeys::Keypad keypad = MenuKeys::Keypad::Any;
    bool ignoreShift = false;
};

// Creates the actions of a table (owned by owner) and hands their keys to keys: to the context
// of control when one is given, else to the main menu. Shown items go into menu; with no menu
// the caller places them (a command of the menu bar itself). Returns one action per row, in
// order, nullptr for separators.
QList<QAction*> addMenuItems(QObject* owner, MenuKeys& keys, QMenu* menu, QWidget* control,
                             const QList<MenuItemSpec>& items);
