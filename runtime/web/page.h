// What the C++ half of the back end asks of the page's own half (page.js and the files beside
// it, linked in as JavaScript libraries): windows, elements and their state in the DOM. Texts
// are UTF-8; a window, an element and a picture are each known to both halves by a number.
//
// The other way, the page reports the browser's events through functions of the C++ half
// exported under the names qv_report_*, in the browser's own terms (a key's name, the DOM's
// button numbers), which the C++ half alone translates into the runtime's: pointer and focus
// (peers.cpp), keys, the close button and the window's fate (window.cpp), decoded pictures
// (pictures.cpp).
#pragma once

#include <cstdint>

extern "C" {

// ---- windows ----------------------------------------------------------------------------
// A window for a form, hidden until shown, its client area width by height; `role` its ARIA
// role: "region", "dialog" (shown over another window) or "alertdialog" (a message box).
void qv_window_create(int window, const char *role, const char *domId, const char *caption,
                      int width, int height);
void qv_window_destroy(int window);
// Shown with its client area at (x, y) of the page, in front and active.
void qv_window_show(int window, int x, int y, int modal);
void qv_window_hide(int window);
// Inert (blocked = 1: kept from input by a modal window), or free again.
void qv_window_set_blocked(int window, int blocked);
// The elements that describe the window to assistive technology: their DOM ids, separated by
// blanks, in reading order; empty for none.
void qv_window_describe(int window, const char *ids);
// Where the client area is now (the user may have moved the window): x, y.
void qv_window_origin(int window, int *xy);
// The frame the page draws round every window's client area, as its style sheet has it: left,
// top, right, bottom.
void qv_frame_margins(int *margins);
// The part of the page in view, scrolled as it is: x, y, width, height.
void qv_visible_area(int *xywh);

// ---- elements ---------------------------------------------------------------------------
// `kind`: "box" (a picture box's canvas), "text", "label", "frame", "button", "check" or
// "option", the browser's own element for each of the rest; or the name of the message box's
// icon the page draws: "critical", "question", "exclamation", "information".
void qv_element_create(int element, int window, int container, const char *kind,
                       const char *domId, int x, int y, int width, int height);
void qv_element_destroy(int element);
void qv_element_set_text(int element, const char *text);
void qv_element_set_value(int element, int value);
// CSS values; empty for the style sheet's own.
void qv_element_set_style(int element, const char *back, const char *fore, const char *font);
// The keyboard focus to the element; with `select`, a text box's text selected, as the keyboard
// does, else its selection kept.
void qv_element_focus(int element, int select);
// The focus indicator shown or not (standard controls draw it with CSS).
void qv_element_set_focus_indicator(int element, int shown);
// A picture box's canvas drawn afresh: the 2-pixel sunken border when `border`, the drawing
// area (ax, ay, aw, ah) filled with `back` (0xRRGGBB), picture `picture` (-1 for none) at its
// top-left, and the dotted focus rectangle when `focus`.
void qv_box_paint(int element, int picture, int ax, int ay, int aw, int ah, int border,
                  std::uint32_t back, int focus);

// ---- assistive technology ---------------------------------------------------------------
// ARIA role and name (or the DOM id of the element that names it), description; checked is -1
// when the role has no such state.
void qv_aria(int element, const char *role, const char *name, const char *labelledBy,
             const char *description, int focusable, int checked);
void qv_aria_checked(int element, int checked);
// The element joins the radio group `group` (a DOM id), made with its first member and named
// by the frame `frame` (a DOM id; empty for none).
void qv_aria_group(int element, const char *group, const char *frame);
// A group's keys, made once: `names` separated by newlines, rects as x, y, width, height.
void qv_aria_parts(int element, const char *names, const int *rects, int count);
// The key the keyboard pressed last (-1 for none).
void qv_aria_active_part(int element, int active);

// ---- texts, pauses and the end ----------------------------------------------------------
// The size of `text` in the CSS font `font`, broken at its line breaks alone: width, height in
// whole pixels, rounded up.
void qv_measure_text(const char *font, const char *text, int *size);
// Pauses the program until qv_resume(token, value); returns that value (Asyncify).
int qv_wait(int token);
void qv_resume(int token, int value);
// The program hands itself to the browser: the stack it used, down to `stackFloor`, stays
// reserved, so that what main() made lives on.
void qv_hand_over(std::uintptr_t stackFloor);
// The program ended with `status`: the windows go, and the page says so in one line.
void qv_end(int status);

} // extern "C"
