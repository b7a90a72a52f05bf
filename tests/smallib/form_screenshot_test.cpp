// A screenshot of a form with the program's menu, created and painted as the game does it; the picture is kept under the build tree.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "common/drawing.h"
#include "common/wtext.h"
#include "smallib/gdi_handles.h"
#include "tests/smallib/framework_test_support.h"

#ifndef TESS_SCREENSHOT_DIR
#error "TESS_SCREENSHOT_DIR names the folder for the screenshots"
#endif

namespace {

using namespace fwtest;

// A board of raised tiles, drawn on the cached device context of the paint cycle.
class TileForm : public ProbeForm {
public:
    using ProbeForm::ProbeForm;

    void paint(HDC dc) override {
        ProbeForm::paint(dc);
        const int cell = 60;
        const SelectObjectScope font(dc, FFont.Handle());
        ::SetBkMode(dc, TRANSPARENT);
        for (int row = 0; row < 4; ++row) {
            for (int col = 0; col < 4; ++col) {
                const int n = row * 4 + col + 1;
                if (n == 16) continue;  // the empty cell
                const RECT r{col * cell + 2, row * cell + 2, col * cell + cell, row * cell + cell};
                FillColorRect(dc, r, RGB(230, 200, 120));
                RECT edge = r;
                DrawEdge(dc, &edge, EDGE_RAISED, BF_RECT);
                TextOutCentered(dc, r.left, r.top + 12, cell - 2, std::u16string(1, u'A' + n - 1));
            }
        }
    }
};

// Runs a shell command of the machine (a Unix program under Wine) and waits until it has
// written its exit code into marker: the code, or -1 when the shell could not be started or
// did not finish within a minute. (Wine cannot wait for a Unix process itself.)
long runShell(const std::string& command, const std::string& marker) {
    const std::string markerFile = "Z:" + marker;
    std::remove(markerFile.c_str());
    const std::string line = "/bin/sh -c \"" + command + "; echo $? > " + marker + "\"";
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi{};
    std::u16string commandLine(line.begin(), line.end());
    if (!CreateProcessW(nullptr, const_cast<wchar_t*>(W(commandLine)), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                        &pi))
        return -1;
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (int i = 0; i < 600; ++i) {
        if (FILE* f = std::fopen(markerFile.c_str(), "r")) {
            long code = -1;
            const bool complete = std::fscanf(f, "%ld", &code) == 1;
            std::fclose(f);
            if (complete) return code;
        }
        Sleep(100);
    }
    return -1;
}

// A binary PPM ("P6", maximum 255) read from a Unix path; empty when unreadable.
struct Picture {
    int width = 0, height = 0;
    std::vector<unsigned char> rgb;
    COLORREF at(int x, int y) const {
        const std::size_t i = (static_cast<std::size_t>(y) * width + x) * 3;
        return RGB(rgb[i], rgb[i + 1], rgb[i + 2]);
    }
};

Picture readPpm(const std::string& unixPath) {
    Picture p;
    const std::string path = "Z:" + unixPath;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return p;
    int maxValue = 0;
    const bool header = std::fscanf(f, "P6 %d %d %d", &p.width, &p.height, &maxValue) == 3 && maxValue == 255;
    p.rgb.resize(header ? static_cast<std::size_t>(p.width) * p.height * 3 : 0);
    std::fgetc(f);
    if (!header || std::fread(p.rgb.data(), 1, p.rgb.size(), f) != p.rgb.size()) p = Picture{};
    std::fclose(f);
    return p;
}

int brightness(COLORREF c) { return (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3; }

class Screenshot : public FrameworkTest {};

TEST_F(Screenshot, FormWithTheProgramsMenuLooksLikeAWindow) {
    // As the game: form and menu "ZIB", icon "MAINICON", the light grey stock brush.
    TileForm* form = makeForm<TileForm>(log, u"ZIB", u"ZIB", LTGRAY_BRUSH);
    ASSERT_NE(form, nullptr);
    ASSERT_NE(form->GetMenu(), nullptr) << "the program's menu resource is linked in";
    form->font().SetName(u"Times New Roman");
    form->font().SetHeight(30);
    form->SetLeft(40);
    form->SetTop(30);
    form->SetClientWidth(4 * 60 + 3);
    form->SetClientHeight(4 * 60 + 3);
    form->MenuCheckItem(113, true);
    ShowWindow(form->Handle(), SW_SHOWNORMAL);
    UpdateWindow(form->Handle());
    pumpMessagesLeavingQuit();
    GdiFlush();

    RECT window{}, client{};
    GetWindowRect(form->Handle(), &window);
    GetClientRect(form->Handle(), &client);
    POINT origin{0, 0};
    ClientToScreen(form->Handle(), &origin);

    const std::string dir = TESS_SCREENSHOT_DIR;
    const std::string png = dir + "/framework_form.png";
    const std::string ppm = dir + "/framework_form.ppm";
    const std::string crop = std::to_string(window.right - window.left) + "x" + std::to_string(window.bottom - window.top) +
                             "+" + std::to_string(window.left) + "+" + std::to_string(window.top);
    if (GetFileAttributesW(L"Z:\\usr\\bin\\import") == INVALID_FILE_ATTRIBUTES)
        GTEST_SKIP() << "no screenshot tool (imagemagick's import)";
    std::remove(("Z:" + ppm).c_str());
    ASSERT_EQ(runShell("import -window root " + png, dir + "/framework_form.png.done"), 0);
    ASSERT_EQ(runShell("import -window root -crop " + crop + " +repage -depth 8 ppm:" + ppm, dir + "/framework_form.ppm.done"), 0);
    const Picture shot = readPpm(ppm);
    ASSERT_EQ(shot.width, window.right - window.left);
    ASSERT_EQ(shot.height, window.bottom - window.top);
    ASSERT_EQ(shot.rgb.size(), static_cast<std::size_t>(shot.width) * shot.height * 3);

    // The menu bar lies between the window's top edge and the client area: light, with dark
    // letters.
    const int clientTop = origin.y - window.top;
    const int clientLeft = origin.x - window.left;
    const int barTop = clientTop - GetSystemMetrics(SM_CYMENU);
    int dark = 0, light = 0;
    for (int y = barTop + 2; y < clientTop - 2; ++y)
        for (int x = clientLeft; x < clientLeft + 150; ++x) (brightness(shot.at(x, y)) < 80 ? dark : light)++;
    EXPECT_GT(dark, 20) << "menu texts";
    EXPECT_GT(light, dark) << "menu bar background";

    // The client area: tiles as painted, and the empty cell in the background brush.
    EXPECT_EQ(shot.at(clientLeft + 30, clientTop + 5), RGB(230, 200, 120));
    EXPECT_EQ(shot.at(clientLeft + 3 * 60 + 30, clientTop + 3 * 60 + 30), RGB(192, 192, 192));
    EXPECT_EQ(client.right, 4 * 60 + 3);
}

}  // namespace
