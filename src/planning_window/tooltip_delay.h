#pragma once

// How long the mouse must rest before a tooltip shows, for the whole application: none while a
// plan runs (the Timer window's hint must come at once), 500 ms while planning.
void setApplicationTooltipDelay(int ms);
int applicationTooltipDelay();
