// The main window as Wine draws it in this test prefix: its size, what the
// details toggle leaves of it, captions that fit their controls, and boxes
// that take long texts typed.
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

#include <windows.h>

namespace winetest {
namespace {

using MainWindowLayout = MainWindow;

// A control's rectangle in the client coordinates of the dialog.
RECT rectInDialog(HWND dialog, int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A dialog unit is one and a half pixels: with its frame the window is 443
// x 480 pixels. The pane is made anew as a Unicode edit (an ANSI one copies
// all its text whenever it grows): it has to stay what the template made,
// in the same place, order, styles and font. Collapsed, the window is 100
// pixels shorter, keeps the button row and shows no pixel of the pane.
TEST_F(MainWindowLayout, TheWindowItsPaneAndWhatTheDetailsToggleLeavesOfIt) {
    show([](HWND dialog, CMainDialog&, User& user) {
        HWND pane = GetDlgItem(dialog, IDC_OUTPUT);
        EXPECT_TRUE(IsWindowUnicode(pane));
        RECT expected = {4, 237, 4 + 283, 237 + 62};
        MapDialogRect(dialog, &expected);
        const RECT r = rectInDialog(dialog, IDC_OUTPUT);
        EXPECT_TRUE(EqualRect(&r, &expected)) << r.left << "," << r.top << " " << r.right << "," << r.bottom;
        EXPECT_EQ(GetWindow(pane, GW_HWNDPREV), GetDlgItem(dialog, IDC_CHOOSE_TABLE)) << "its place in the tab order";
        EXPECT_EQ(GetWindow(pane, GW_HWNDNEXT), nullptr);
        const LONG styles = ES_MULTILINE | ES_AUTOVSCROLL | ES_AUTOHSCROLL | ES_WANTRETURN | WS_VSCROLL | WS_HSCROLL |
                            WS_TABSTOP | WS_VISIBLE | WS_CHILD;
        EXPECT_EQ(GetWindowLongW(pane, GWL_STYLE) & styles, styles);
        EXPECT_TRUE(GetWindowLongW(pane, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(SendMessageW(pane, WM_GETFONT, 0, 0), SendMessageW(dialog, WM_GETFONT, 0, 0));

        for (int clicks = 0; clicks <= 2; ++clicks) {
            const bool collapsed = clicks == 1;
            RECT window = {};
            GetWindowRect(dialog, &window);
            EXPECT_EQ(window.right - window.left, 443) << clicks << " clicks";
            EXPECT_EQ(window.bottom - window.top, collapsed ? 380 : 480) << clicks << " clicks";
            EXPECT_EQ(IsDlgButtonChecked(dialog, IDC_DETAILS), collapsed ? BST_CHECKED : BST_UNCHECKED);
            RECT client = {};
            GetClientRect(dialog, &client);
            EXPECT_EQ(rectInDialog(dialog, IDC_OUTPUT).top >= client.bottom, collapsed)
                << "the pane's top row lies inside the client area: " << clicks << " clicks";
            for (int id : {IDC_DETAILS, IDC_ADVANCED, IDC_LOAD_CTL, IDC_SAVE_CTL, IDC_IMPORT}) {
                EXPECT_LE(rectInDialog(dialog, id).bottom, client.bottom) << "button " << id << " is cut off";
            }
            user.click(IDC_DETAILS);
        }
    });
}

// A caption is clipped when it is wider or taller than the room its control
// gives it: a label's client area, a button's less its edges, what a radio
// button's box leaves. One-line boxes show one line of the font, and those
// narrower than what users type scroll instead of dropping what does not fit.
TEST_F(MainWindowLayout, EveryCaptionAndEveryBoxTextFitsItsControl) {
    show([](HWND dialog, CMainDialog&, User& user) {
        HDC dc = GetDC(dialog);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        int checked = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            const fw::Kind kind = fw::kindOfWindow(child);
            RECT room = {};
            GetClientRect(child, &room);
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            const LONG type = style & BS_TYPEMASK;
            const std::string caption = fw::windowText(child);
            COMBOBOXINFO info = {};
            info.cbSize = sizeof info;
            if (kind == fw::Kind::ComboBox && GetComboBoxInfo(child, &info)) {
                room = info.rcItem;
            }
            if ((kind == fw::Kind::Edit && (style & ES_MULTILINE) == 0) || kind == fw::Kind::ComboBox) {
                EXPECT_GE(room.bottom - room.top, metrics.tmHeight) << "box " << GetDlgCtrlID(child);
                ++checked;
                continue;
            }
            if (kind == fw::Kind::Edit || caption.empty() || (kind == fw::Kind::Button && type == BS_GROUPBOX)) {
                continue;
            }
            // A radio button's 13-pixel box and the gap after it; a push
            // button's two-pixel edges.
            if (kind == fw::Kind::Button && (style & BS_PUSHLIKE) == 0 &&
                (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON || type == BS_AUTOCHECKBOX ||
                 type == BS_CHECKBOX)) {
                room.left += 17;
            } else if (kind == fw::Kind::Button) {
                InflateRect(&room, -2, -2);
            }
            RECT text = {};
            DrawTextA(dc, caption.c_str(), static_cast<int>(caption.size()), &text,
                      DT_CALCRECT | DT_SINGLELINE | DT_NOPREFIX);
            EXPECT_LE(text.right, room.right - room.left) << "caption \"" << caption << "\" is cut off";
            EXPECT_LE(text.bottom, room.bottom - room.top) << "caption \"" << caption << "\" is cut off";
            ++checked;
        }
        SelectObject(dc, old);
        ReleaseDC(dialog, dc);
        // 12 labels, 11 buttons with captions, 4 radio buttons, 11 one-line boxes.
        EXPECT_EQ(checked, 38);

        const std::pair<int, std::string> typed[] = {{IDC_PASSWORD, "Abcdefghij0123456789klmnopqrst9876543210"},
                                                     {IDC_USER, "loader_user_20_chars"},
                                                     {IDC_DATABASE, "orcl.example.net:1521"},
                                                     {IDC_FIELD_NAME, "CUSTOMER_POSTAL_ADDRESS_LINE_2"},
                                                     {IDC_FIELD_TYPE, "VARCHAR2_LONGER"},
                                                     {IDC_DELIMITER, "|~|~|~|~|~|"},
                                                     {IDC_QUALIFIER, "\"'\"'\"'\"'\"'"},
                                                     {IDC_DATE_MASK, "YYYY-MM-DD HH24:MI:SS"}};
        for (const auto& [id, chars] : typed) {
            // Enabled directly, for the date-mask box that starts disabled:
            // this is about the boxes' width, not about when they take input.
            EnableWindow(GetDlgItem(dialog, id), TRUE);
            SetDlgItemTextA(dialog, id, "");
            user.type(id, chars);
            EXPECT_EQ(itemText(dialog, id), chars) << "box " << id;
        }
    });
}

} // namespace
} // namespace winetest
