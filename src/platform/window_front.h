#pragma once

class QWidget;

// Brings a window to the front and gives it the keyboard, as far as the system allows a
// program that the user is not working in at the moment.
void bringWindowToFront(QWidget& window);
