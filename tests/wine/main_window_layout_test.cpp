// The main window as Wine draws it from template 102 in this test prefix:
// its size in pixels, what the details toggle leaves of it, captions that
// fit their controls, and boxes that take long texts typed key by key.
#include "wine/main_window.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <utility>
#include <vector>

#include <windows.h>

namespace {

// A control's rectangle in the client coordinates of the dialog.
RECT rectInDialog(HWND dialog, int id) {
    RECT r = {};
    GetWindowRect(GetDlgItem(dialog, id), &r);
    MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// A white picture of `width` x `height` pixels, 32 bits each, that GDI draws
// into through dc().
class Picture {
public:
    Picture(int width, int height) : width_(width), height_(height), dc_(CreateCompatibleDC(nullptr)) {
        BITMAPINFO info = {};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        bitmap_ = CreateDIBSection(dc_, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits_), nullptr, 0);
        old_ = SelectObject(dc_, bitmap_);
        RECT all = {0, 0, width, height};
        FillRect(dc_, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    }
    ~Picture() {
        SelectObject(dc_, old_);
        DeleteObject(bitmap_);
        DeleteDC(dc_);
    }
    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    HDC dc() const { return dc_; }
    // How many pixels of row `y` are darker than mid-grey.
    int inkInRow(int y) const {
        GdiFlush();
        int ink = 0;
        for (int x = 0; x < width_; ++x) {
            const DWORD pixel = bits_[y * width_ + x];
            ink += (GetRValue(pixel) + GetGValue(pixel) + GetBValue(pixel)) < 3 * 128 ? 1 : 0;
        }
        return ink;
    }
    std::vector<DWORD> pixels() const {
        GdiFlush();
        return std::vector<DWORD>(bits_, bits_ + width_ * height_);
    }

private:
    int width_;
    int height_;
    HDC dc_;
    HBITMAP bitmap_ = nullptr;
    HGDIOBJ old_ = nullptr;
    DWORD* bits_ = nullptr;
};

// Shows the main window, runs `script` on it and closes it with Escape.
void showMainWindow(const std::function<void(HWND, winetest::User&)>& script) {
    CMainDialog dialog;
    winetest::runDialog(dialog, [&](winetest::User& user) {
        script(user.dialog(), user);
        user.pressEscape(IDC_USER);
    });
}

// Wine's stand-in for 宋体 has SimSun's cell at 9 points: 12 pixels high,
// 6 wide on average (hence a dialog unit of 1.5 pixels). The underscore and the descender of "p" have to be
// drawn inside that cell, since edit boxes and labels clip their text to it;
// the font as Linux has it puts the underscore in the row below.
TEST(MainWindowLayout, TheDialogFontDrawsUnderscoresAndDescendersInsideItsTwelvePixelCell) {
    showMainWindow([](HWND dialog, winetest::User&) {
        const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        ASSERT_NE(font, nullptr);
        Picture underscore(6, 12);
        SelectObject(underscore.dc(), font);
        TEXTMETRICA metrics = {};
        GetTextMetricsA(underscore.dc(), &metrics);

        TextOutA(underscore.dc(), 0, 0, "_", 1);
        EXPECT_GE(underscore.inkInRow(11), 5) << "the underscore is not a line across the cell's last row";

        Picture p(6, 12);
        SelectObject(p.dc(), font);
        TextOutA(p.dc(), 0, 0, "p", 1);
        int descender = 0;
        for (int y = metrics.tmAscent; y < 12; ++y) {
            descender += p.inkInRow(y);
        }
        EXPECT_GE(descender, 1) << "\"p\" has no ink below the baseline inside the cell";
    });
}

// "BRENNICK_DB" must not show as "BRENNICK DB": the box's own drawing of an
// underscore differs from its drawing of a space.
TEST(MainWindowLayout, AnUnderscoreTypedIntoTheDatabaseBoxShows) {
    showMainWindow([](HWND dialog, winetest::User& user) {
        HWND box = GetDlgItem(dialog, IDC_DATABASE);
        RECT client = {};
        GetClientRect(box, &client);
        const auto drawn = [&](const std::string& text) {
            SetWindowTextA(box, "");
            user.type(IDC_DATABASE, text);
            SendMessageA(box, EM_SETSEL, 0, 0);
            Picture picture(client.right, client.bottom);
            SendMessageA(box, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture.dc()), PRF_CLIENT | PRF_ERASEBKGND);
            return picture.pixels();
        };
        const std::vector<DWORD> spaced = drawn("A B");
        const std::vector<DWORD> underscored = drawn("A_B");
        EXPECT_EQ(fw::windowText(box), "A_B");
        EXPECT_TRUE(spaced != drawn("AXB")) << "the box draws nothing through WM_PRINTCLIENT";
        EXPECT_TRUE(spaced != underscored) << "the underscore is drawn like a space";
    });
}

// The caption buttons and the marks of the system menu's items are
// characters of the Marlett font; without it Wine draws them as digits and
// letters of another font.
TEST(MainWindowLayout, MarlettIsThereForTheCaptionButtonsAndTheSystemMenu) {
    HFONT font = CreateFontA(-13, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, SYMBOL_CHARSET, OUT_DEFAULT_PRECIS,
                             CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY, DEFAULT_PITCH, "Marlett");
    ASSERT_NE(font, nullptr);
    HDC dc = GetDC(nullptr);
    const HGDIOBJ old = SelectObject(dc, font);
    char face[LF_FACESIZE] = {};
    GetTextFaceA(dc, sizeof face, face);
    SelectObject(dc, old);
    ReleaseDC(nullptr, dc);
    DeleteObject(font);
    EXPECT_EQ(std::string(face), "Marlett");
}

// A dialog unit is one and a half pixels, and the client area 291 x 303 of
// them. The pane is made anew as a Unicode edit (an ANSI one copies all its
// text whenever it grows): it has to stay what the template made, in the
// same place, order, styles and font. Collapsed, the window keeps the button
// row and shows no pixel of the pane.
TEST(MainWindowLayout, TheWindowAndItsOutputPaneAreWhereTheTemplatePutsThemAndCollapsingHidesThePane) {
    showMainWindow([](HWND dialog, winetest::User& user) {
        RECT hundred = {0, 0, 100, 100};
        ASSERT_TRUE(MapDialogRect(dialog, &hundred));
        EXPECT_EQ(hundred.right, 150);
        EXPECT_EQ(hundred.bottom, 150);
        RECT client = {};
        GetClientRect(dialog, &client);
        // 291 x 1.5 = 436.5 and 303 x 1.5 = 454.5 pixels.
        EXPECT_NEAR(client.right, 436.5, 2.0);
        EXPECT_NEAR(client.bottom, 454.5, 2.0);

        HWND pane = GetDlgItem(dialog, IDC_OUTPUT);
        EXPECT_TRUE(IsWindowUnicode(pane));
        RECT expected = {4, 237, 4 + 283, 237 + 62};
        MapDialogRect(dialog, &expected);
        RECT r = rectInDialog(dialog, IDC_OUTPUT);
        EXPECT_EQ(r.left, expected.left);
        EXPECT_EQ(r.top, expected.top);
        EXPECT_EQ(r.right, expected.right);
        EXPECT_EQ(r.bottom, expected.bottom);
        EXPECT_EQ(GetWindow(pane, GW_HWNDPREV), GetDlgItem(dialog, IDC_CHOOSE_TABLE)) << "its place in the tab order";
        EXPECT_EQ(GetWindow(pane, GW_HWNDNEXT), nullptr);
        const LONG style = GetWindowLongW(pane, GWL_STYLE);
        for (const LONG bit : {ES_MULTILINE, ES_AUTOVSCROLL, ES_AUTOHSCROLL, ES_WANTRETURN, WS_VSCROLL, WS_HSCROLL,
                               WS_TABSTOP, WS_VISIBLE, WS_CHILD}) {
            EXPECT_EQ(style & bit, bit) << "style bit " << bit;
        }
        EXPECT_TRUE(GetWindowLongW(pane, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
        EXPECT_EQ(SendMessageW(pane, WM_GETFONT, 0, 0), SendMessageW(dialog, WM_GETFONT, 0, 0));

        RECT before = {};
        GetWindowRect(dialog, &before);
        user.click(IDC_DETAILS);
        RECT after = {};
        GetWindowRect(dialog, &after);
        EXPECT_EQ(before.bottom - after.bottom, 100);
        GetClientRect(dialog, &client);
        EXPECT_GE(rectInDialog(dialog, IDC_OUTPUT).top, client.bottom)
            << "the pane's top row lies inside the client area";
        for (int id : {IDC_DETAILS, IDC_ADVANCED, IDC_LOAD_CTL, IDC_SAVE_CTL, IDC_IMPORT}) {
            EXPECT_LE(rectInDialog(dialog, id).bottom, client.bottom) << "button " << id << " is cut off";
        }
    });
}

// A caption is clipped when its text is wider or taller than the room its
// control gives it: the whole client area of a label, the client area less
// the button's edges, or what the box of a radio button leaves.
TEST(MainWindowLayout, EveryCaptionAndEveryBoxTextFitsItsControl) {
    showMainWindow([](HWND dialog, winetest::User&) {
        HDC dc = GetDC(dialog);
        const HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0)));
        TEXTMETRICA metrics = {};
        GetTextMetricsA(dc, &metrics);
        int checked = 0;
        for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr; child = GetWindow(child, GW_HWNDNEXT)) {
            char name[16] = {};
            GetClassNameA(child, name, sizeof name);
            RECT room = {};
            GetClientRect(child, &room);
            const LONG style = GetWindowLongA(child, GWL_STYLE);
            const std::string caption = fw::windowText(child);
            if (lstrcmpiA(name, "Edit") == 0 || lstrcmpiA(name, "ComboBox") == 0) {
                // A single-line box and a drop-down box's edit field show one
                // line of the font.
                if ((style & ES_MULTILINE) == 0 || lstrcmpiA(name, "ComboBox") == 0) {
                    COMBOBOXINFO info = {};
                    info.cbSize = sizeof info;
                    if (lstrcmpiA(name, "ComboBox") == 0 && GetComboBoxInfo(child, &info)) {
                        room = info.rcItem;
                    }
                    EXPECT_GE(room.bottom - room.top, metrics.tmHeight) << "box " << GetDlgCtrlID(child);
                    ++checked;
                }
                continue;
            }
            if (caption.empty() || (lstrcmpiA(name, "Button") == 0 && (style & BS_TYPEMASK) == BS_GROUPBOX)) {
                continue;
            }
            if (lstrcmpiA(name, "Button") == 0) {
                const LONG type = style & BS_TYPEMASK;
                const bool box = (style & BS_PUSHLIKE) == 0 && (type == BS_AUTORADIOBUTTON || type == BS_RADIOBUTTON ||
                                                                type == BS_AUTOCHECKBOX || type == BS_CHECKBOX);
                // A push button's two-pixel edges; a radio button's 13-pixel
                // box and the gap after it.
                if (box) {
                    room.left += 17;
                } else {
                    InflateRect(&room, -2, -2);
                }
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
    });
}

// Each of these boxes is narrower than the texts a user may type into it;
// the box scrolls instead of dropping what does not fit.
TEST(MainWindowTyping, LongTextsTypedKeyByKeyArriveWholeInTheBoxes) {
    showMainWindow([](HWND dialog, winetest::User& user) {
        const std::vector<std::pair<int, std::string>> typed = {
            {IDC_PASSWORD, "Abcdefghij0123456789klmnopqrst9876543210"},
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
            EXPECT_EQ(fw::windowText(GetDlgItem(dialog, id)), chars) << "box " << id;
        }
    });
}

} // namespace
