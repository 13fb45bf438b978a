#include "shown_run_state.h"

#include "planning_look.h"

#include <utility>

ShownRunState::ShownRunState(Show show) : m_show(std::move(show)) {
    connect(&m_own, &RunStatePublisher::changed, this, &ShownRunState::show);
}

void ShownRunState::show(const RunState& state) {
    const RunState was = std::exchange(shown, state);
    m_show(state, was);
}

void ShownRunState::observe(RunStatePublisher& state) {
    for (const QMetaObject::Connection& c : std::as_const(m_connections))
        disconnect(c);
    m_state = &state;
    // The runner's state takes over what the window shows so far.
    const RunState& was = shown;
    state.update([&was](RunState& st) {
        st.startCaption = was.startCaption;
        st.startEnabled = was.startEnabled;
        st.captionSuffix = was.captionSuffix;
        st.captionBlink = was.captionBlink;
        st.inputVisible = was.inputVisible;
        st.listMenuAllItems = was.listMenuAllItems;
        st.mouseEditing = was.mouseEditing;
        st.maxReplanEnabled = was.maxReplanEnabled;
        st.tooltipDelayMs = was.tooltipDelayMs;
        st.focusLock = was.focusLock;
    });
    m_connections = {connect(&state, &RunStatePublisher::changed, this, &ShownRunState::show),
                     // Gone first (at the end of a test): the window goes on with a state of its own.
                     connect(&state, &QObject::destroyed, this, [this] {
                         m_state = &m_own;
                         m_own.update([this](RunState& st) { st = shown; });
                     })};
    show(state.state());
}

void ShownRunState::showLook(const PlanningLook& look, bool withStartItem) {
    update([&look, withStartItem](RunState& st) {
        if (withStartItem) {
            st.startCaption = look.startCaption;
            st.startEnabled = look.startEnabled;
        }
        st.captionSuffix = look.captionSuffix;
        st.captionBlink = look.captionBlink;
    });
}
