// Who hears of a pane's moves: the screen-reader provider sets the watch
// once a client has asked for it, so until then the panes do nothing for it.
#pragma once

struct TextPane;

struct PaneWatch {
    void (*scrolled)(const TextPane* pane);   // a new first row
    void (*activated)(const TextPane* pane);  // the active pane, after a change
    void (*newText)(const TextPane* pane);    // another section laid out
    void (*selected)(const TextPane* pane);   // the selection changed and was drawn
};

// Null, or the watch; not owned.
extern const PaneWatch* gPaneWatch;

inline void NotePaneScrolled(const TextPane* pane) {
    if (gPaneWatch) gPaneWatch->scrolled(pane);
}
inline void NotePaneActivated(const TextPane* pane) {
    if (gPaneWatch) gPaneWatch->activated(pane);
}
inline void NotePaneNewText(const TextPane* pane) {
    if (gPaneWatch) gPaneWatch->newText(pane);
}
inline void NotePaneSelected(const TextPane* pane) {
    if (gPaneWatch) gPaneWatch->selected(pane);
}
