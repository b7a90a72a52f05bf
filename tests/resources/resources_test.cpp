// Checks the resources linked into the executable: menu, sounds, icon, about box, manifest, version.
#include <windows.h>
#include <mmsystem.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <cwctype>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "resources/resource_ids.h"
#include "version.h"

namespace {

HMODULE self() { return GetModuleHandleW(nullptr); }

// The bytes of a resource of this program; empty when it is missing.
std::span<const std::uint8_t> resourceBytes(const wchar_t* name, const wchar_t* type) {
  HRSRC info = FindResourceW(self(), name, type);
  if (!info) return {};
  HGLOBAL loaded = LoadResource(self(), info);
  if (!loaded) return {};
  return {static_cast<const std::uint8_t*>(LockResource(loaded)), SizeofResource(self(), info)};
}

std::uint16_t u16At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint16_t>(b[at] | b[at + 1] << 8);
}

std::uint32_t u32At(std::span<const std::uint8_t> b, std::size_t at) {
  return static_cast<std::uint32_t>(u16At(b, at)) | static_cast<std::uint32_t>(u16At(b, at + 2)) << 16;
}

std::string_view tagAt(std::span<const std::uint8_t> b, std::size_t at) {
  return {reinterpret_cast<const char*>(b.data() + at), 4};
}

struct MenuDeleter {
  void operator()(HMENU m) const { DestroyMenu(m); }
};
using MenuPtr = std::unique_ptr<std::remove_pointer_t<HMENU>, MenuDeleter>;

struct WindowDeleter {
  void operator()(HWND w) const { DestroyWindow(w); }
};
using WindowPtr = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

struct IconDeleter {
  void operator()(HICON i) const { DestroyIcon(i); }
};
using IconPtr = std::unique_ptr<std::remove_pointer_t<HICON>, IconDeleter>;

struct BitmapDeleter {
  void operator()(HBITMAP b) const { DeleteObject(b); }
};
using BitmapPtr = std::unique_ptr<std::remove_pointer_t<HBITMAP>, BitmapDeleter>;

struct ActCtxDeleter {
  void operator()(HANDLE h) const { ReleaseActCtx(h); }
};
using ActCtxPtr = std::unique_ptr<void, ActCtxDeleter>;

// ---- menu ------------------------------------------------------------------------------------

enum class Kind { popup, item, separator };

struct MenuRow {
  int depth;
  Kind kind;
  UINT id;  // not compared for pop-ups
  std::wstring text;
  UINT state;
};

bool operator==(const MenuRow& a, const MenuRow& b) {
  // Wine reports separators as greyed; their state means nothing.
  return a.depth == b.depth && a.kind == b.kind && (a.kind == Kind::popup || a.id == b.id) &&
         a.text == b.text && (a.kind == Kind::separator || a.state == b.state);
}

void PrintTo(const MenuRow& r, std::ostream* os) {
  static const char* const kinds[] = {"popup", "item", "separator"};
  *os << "{depth " << r.depth << ", " << kinds[static_cast<int>(r.kind)] << ", id " << r.id << ", \"";
  for (wchar_t c : r.text) {
    if (c >= 0x20 && c < 0x7F)
      *os << static_cast<char>(c);
    else
      *os << "\\u" << std::hex << static_cast<unsigned>(c) << std::dec;
  }
  *os << "\", state " << r.state << "}";
}

void walkMenu(HMENU menu, int depth, std::vector<MenuRow>& out) {
  const int count = GetMenuItemCount(menu);
  for (int i = 0; i < count; ++i) {
    wchar_t text[128];
    std::fill(std::begin(text), std::end(text), L'\xcccc');
    MENUITEMINFOW mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
    mii.dwTypeData = text;
    mii.cch = static_cast<UINT>(std::size(text));
    ASSERT_TRUE(GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &mii)) << "item " << i << " at depth " << depth;
    const Kind kind = mii.hSubMenu ? Kind::popup : (mii.fType & MFT_SEPARATOR) ? Kind::separator : Kind::item;
    out.push_back({depth, kind, mii.wID, kind == Kind::separator ? L"" : std::wstring(text, mii.cch), mii.fState});
    if (mii.hSubMenu) walkMenu(mii.hSubMenu, depth + 1, out);
  }
}

TEST(ResourcesMenu, ZibHasTheGamesItemsInOrder) {
  // Umlauts are written as escapes here, so that this table cannot share an encoding fault with
  // the resource script.
  const std::vector<MenuRow> expected = {
      {0, Kind::popup, 0, L"&Spiel", 0},
      {1, Kind::item, IDM_NEW_GAME, L"&Neu mischen", 0},
      {1, Kind::item, IDM_START_AGAIN, L"&Von vorn", 0},
      {1, Kind::separator, 0, L"", 0},
      {1, Kind::item, IDM_UNDO, L"&R\u00FCckg\u00E4ngig\tStrg+Z", 0},
      {1, Kind::item, IDM_REDO, L"&Wiederholen\tStrg+Y", 0},
      {1, Kind::separator, 0, L"", 0},
      {1, Kind::item, IDM_CLOSE, L"&Beenden\tAlt+F4", 0},
      {0, Kind::popup, 0, L"&Optionen", 0},
      {1, Kind::item, IDM_MORE_CELLS, L"&Mehr Zellen", 0},
      {1, Kind::item, IDM_FEWER_CELLS, L"&Weniger Zellen", 0},
      {1, Kind::item, IDM_SOUND, L"mit &Sound", 0},
      {1, Kind::popup, 0, L"&Sprache", 0},
      {2, Kind::item, IDM_LABELS_GERMAN, L"&Deutsch", 0},
      {2, Kind::item, IDM_LABELS_ENGLISH, L"&Englisch", 0},
      {2, Kind::item, IDM_LABELS_RUSSIAN, L"&Russisch", 0},
      {1, Kind::separator, 0, L"", 0},
      {1, Kind::item, IDM_BEGINNER, L"&Laie", 0},
      {1, Kind::item, IDM_EXPERT, L"&Experte", 0},
      {1, Kind::separator, 0, L"", 0},
      {1, Kind::item, IDM_FONT, L"&Schriftart", 0},
      {0, Kind::popup, 0, L"&?", 0},
      {1, Kind::item, IDM_HELP, L"&Hilfe\tF1", 0},
      {1, Kind::item, IDM_SOLUTION, L"&L\u00F6sung", 0},
      {1, Kind::item, IDM_HINT, L"&Tipp\tF2", 0},
      {1, Kind::item, IDM_DEMONSTRATE, L"&Vorf\u00FChren\tF3", 0},
      {1, Kind::item, IDM_BEST_RESULTS, L"&Bestwerte", 0},
      {1, Kind::separator, 0, L"", 0},
      {1, Kind::item, IDM_ABOUT, L"&Info", 0},
  };
  MenuPtr menu(LoadMenuW(self(), L"ZIB"));
  ASSERT_TRUE(menu);
  std::vector<MenuRow> actual;
  walkMenu(menu.get(), 0, actual);
  ASSERT_EQ(actual.size(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    SCOPED_TRACE("row " + std::to_string(i));
    EXPECT_EQ(actual[i], expected[i]);
  }
}

TEST(ResourcesMenu, CommandIdsAreTheGames) {
  struct Row {
    UINT macro;
    UINT value;
  };
  static const Row rows[] = {
      {IDM_CLOSE, 6},          {IDM_ABOUT, 100},          {IDM_NEW_GAME, 101},      {IDM_MORE_CELLS, 111},
      {IDM_FEWER_CELLS, 112},  {IDM_SOUND, 113},          {IDM_BEGINNER, 115},      {IDM_EXPERT, 116},
      {IDM_FONT, 120},         {IDM_LABELS_GERMAN, 131},  {IDM_LABELS_ENGLISH, 132}, {IDM_LABELS_RUSSIAN, 133},
      {IDM_HELP, 180},         {IDM_SOLUTION, 181},       {IDN_SOLVED, 190},
      {IDM_UNDO, 150},         {IDM_REDO, 151},           {IDM_START_AGAIN, 152},   {IDM_BEST_RESULTS, 153},
      {IDM_HINT, 140},         {IDM_DEMONSTRATE, 141},
  };
  for (const Row& r : rows) EXPECT_EQ(r.macro, r.value);
}

// The shortcut translation appends string resources 1 and 2 for Ctrl and Shift; the program
// relies on their absence.
TEST(ResourcesStrings, NoCtrlOrShiftPrefixStrings) {
  for (UINT id : {1u, 2u}) {
    wchar_t buffer[16] = L"sentinel";
    EXPECT_EQ(LoadStringW(self(), id, buffer, static_cast<int>(std::size(buffer))), 0) << "string " << id;
  }
}

// ---- sounds ----------------------------------------------------------------------------------

struct SoundRow {
  const wchar_t* name;
  std::uint16_t channels;
  std::uint32_t rate;
  std::uint16_t bits;
  std::uint32_t milliseconds;
};

const SoundRow kSounds[] = {
    {L"BUF", 1, 20000, 16, 430},   {L"DOWN", 1, 20000, 16, 350}, {L"FLUP", 1, 20000, 16, 80},
    {L"LEFT", 1, 20000, 16, 300},  {L"RIGHT", 1, 20000, 16, 320}, {L"UP", 1, 20000, 16, 280},
    {L"REIB", 1, 20000, 16, 370},  {L"TTT", 1, 20000, 16, 670},  {L"YEA", 2, 22050, 8, 890},
};

std::string narrow(const wchar_t* s) { return std::string(s, s + std::wcslen(s)); }

struct Wave {
  std::uint16_t format = 0, channels = 0, block = 0, bits = 0;
  std::uint32_t rate = 0, byteRate = 0;
  std::span<const std::uint8_t> data;
};

// Walks the RIFF chunks; fails the test on any structural fault.
void parseWave(std::span<const std::uint8_t> bytes, Wave& w) {
  ASSERT_GE(bytes.size(), 12u);
  ASSERT_EQ(tagAt(bytes, 0), "RIFF");
  ASSERT_EQ(u32At(bytes, 4) + 8u, bytes.size()) << "RIFF size must cover exactly the resource";
  ASSERT_EQ(tagAt(bytes, 8), "WAVE");
  bool haveFormat = false;
  for (std::size_t at = 12; at < bytes.size();) {
    ASSERT_LE(at + 8, bytes.size());
    const std::string_view tag = tagAt(bytes, at);
    const std::uint32_t size = u32At(bytes, at + 4);
    ASSERT_LE(at + 8 + size, bytes.size()) << "chunk " << tag;
    if (tag == "fmt ") {
      ASSERT_EQ(size, 16u) << "plain PCM format chunk";
      w.format = u16At(bytes, at + 8);
      w.channels = u16At(bytes, at + 10);
      w.rate = u32At(bytes, at + 12);
      w.byteRate = u32At(bytes, at + 16);
      w.block = u16At(bytes, at + 20);
      w.bits = u16At(bytes, at + 22);
      haveFormat = true;
    } else if (tag == "data") {
      ASSERT_TRUE(haveFormat) << "format chunk must come before the data";
      w.data = bytes.subspan(at + 8, size);
    }
    at += 8 + size + (size & 1);
  }
  ASSERT_TRUE(haveFormat);
  ASSERT_FALSE(w.data.empty());
}

// One sample as a fraction of full scale.
double sampleAt(const Wave& w, std::size_t frame, std::uint16_t channel = 0) {
  const std::size_t at = frame * w.block + channel * (w.bits / 8);
  if (w.bits == 16) return static_cast<std::int16_t>(u16At(w.data, at)) / 32768.0;
  return (w.data[at] - 128) / 128.0;
}

TEST(ResourcesSounds, EachIsRawDataInItsWaveFormat) {
  for (const SoundRow& row : kSounds) {
    SCOPED_TRACE(narrow(row.name));
    const auto bytes = resourceBytes(row.name, RT_RCDATA);
    ASSERT_FALSE(bytes.empty());
    Wave w;
    parseWave(bytes, w);
    if (HasFatalFailure()) continue;
    EXPECT_EQ(w.format, WAVE_FORMAT_PCM);
    EXPECT_EQ(w.channels, row.channels);
    EXPECT_EQ(w.rate, row.rate);
    EXPECT_EQ(w.bits, row.bits);
    EXPECT_EQ(w.block, row.channels * row.bits / 8);
    EXPECT_EQ(w.byteRate, row.rate * w.block);
    const std::uint32_t frames = row.milliseconds * row.rate / 1000;
    EXPECT_EQ(w.data.size(), static_cast<std::size_t>(frames) * w.block);
  }
}

// Audible, not clipped, and no click at either end.
TEST(ResourcesSounds, LevelsAreSound) {
  for (const SoundRow& row : kSounds) {
    SCOPED_TRACE(narrow(row.name));
    Wave w;
    parseWave(resourceBytes(row.name, RT_RCDATA), w);
    if (HasFatalFailure()) continue;
    const std::size_t frames = w.data.size() / w.block;
    double peak = 0;
    for (std::size_t f = 0; f < frames; ++f) {
      for (std::uint16_t c = 0; c < w.channels; ++c) peak = std::max(peak, std::abs(sampleAt(w, f, c)));
    }
    EXPECT_GT(peak, 0.3);
    EXPECT_LT(peak, 0.99);
    for (std::uint16_t c = 0; c < w.channels; ++c) {
      EXPECT_LT(std::abs(sampleAt(w, 0, c)), 0.02) << "channel " << c;
      EXPECT_LT(std::abs(sampleAt(w, frames - 1, c)), 0.02) << "channel " << c;
    }
  }
}

// The game asks for its sounds in lower case; resource names are matched without regard to case.
TEST(ResourcesSounds, FoundInLowerCase) {
  for (const SoundRow& row : kSounds) {
    std::wstring lower = row.name;
    for (wchar_t& c : lower) c = static_cast<wchar_t>(towlower(c));
    SCOPED_TRACE(narrow(lower.c_str()));
    EXPECT_EQ(FindResourceW(self(), lower.c_str(), RT_RCDATA), FindResourceW(self(), row.name, RT_RCDATA));
    EXPECT_NE(FindResourceW(self(), lower.c_str(), RT_RCDATA), nullptr);
  }
}

TEST(ResourcesSounds, WinmmPlaysEachFromMemory) {
  if (waveOutGetNumDevs() == 0) GTEST_SKIP() << "no audio device";
  for (const SoundRow& row : kSounds) {
    SCOPED_TRACE(narrow(row.name));
    const auto bytes = resourceBytes(row.name, RT_RCDATA);
    ASSERT_FALSE(bytes.empty());
    EXPECT_TRUE(sndPlaySoundW(reinterpret_cast<LPCWSTR>(bytes.data()), SND_MEMORY | SND_SYNC | SND_NODEFAULT));
  }
}

// ---- icon ------------------------------------------------------------------------------------

TEST(ResourcesIcon, MainIconHas16ColourImagesForEveryScaleUpTo200Percent) {
  const auto group = resourceBytes(L"MAINICON", RT_GROUP_ICON);
  ASSERT_FALSE(group.empty());
  for (int size : {16, 20, 24, 32, 40, 48, 64}) {
    SCOPED_TRACE("size " + std::to_string(size));
    const int id = LookupIconIdFromDirectoryEx(const_cast<PBYTE>(group.data()), TRUE, size, size, LR_DEFAULTCOLOR);
    ASSERT_NE(id, 0);
    const auto image = resourceBytes(MAKEINTRESOURCEW(id), RT_ICON);
    ASSERT_GE(image.size(), sizeof(BITMAPINFOHEADER));
    BITMAPINFOHEADER header;
    std::memcpy(&header, image.data(), sizeof header);
    EXPECT_EQ(header.biWidth, size);
    EXPECT_EQ(header.biHeight, 2 * size) << "colour image and mask";
    EXPECT_EQ(header.biBitCount, 4);
  }
}

TEST(ResourcesIcon, MainIconLoadsAt32By32) {
  EXPECT_NE(LoadIconW(self(), L"MAINICON"), nullptr);
  IconPtr icon(static_cast<HICON>(LoadImageW(self(), L"MAINICON", IMAGE_ICON, 32, 32, LR_DEFAULTCOLOR)));
  ASSERT_TRUE(icon);
  ICONINFO info{};
  ASSERT_TRUE(GetIconInfo(icon.get(), &info));
  BitmapPtr colour(info.hbmColor), mask(info.hbmMask);
  BITMAP bm{};
  ASSERT_TRUE(GetObjectW(colour.get(), sizeof bm, &bm));
  EXPECT_EQ(bm.bmWidth, 32);
  EXPECT_EQ(bm.bmHeight, 32);
}

// ---- about box -------------------------------------------------------------------------------

// A template field that is either an ordinal (0xFFFF, value) or a zero-terminated string.
struct SzOrOrd {
  std::uint16_t ordinal = 0;
  std::wstring text;
  bool isOrdinal = false;
};

SzOrOrd readSzOrOrd(std::span<const std::uint8_t> b, std::size_t& at) {
  SzOrOrd r;
  if (u16At(b, at) == 0xFFFF) {
    r.isOrdinal = true;
    r.ordinal = u16At(b, at + 2);
    at += 4;
    return r;
  }
  for (std::uint16_t c; (c = u16At(b, at)) != 0; at += 2) r.text += static_cast<wchar_t>(c);
  at += 2;
  return r;
}

TEST(ResourcesAboutBox, TemplateMatchesTheAboutBoxCode) {
  const auto b = resourceBytes(L"ABOUTBX", RT_DIALOG);
  ASSERT_GE(b.size(), 18u);
  ASSERT_NE(u16At(b, 2), 0xFFFF) << "a plain dialog template, not an extended one";
  EXPECT_EQ(u32At(b, 0), static_cast<std::uint32_t>(WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT));
  EXPECT_EQ(u32At(b, 4), 0u);
  ASSERT_EQ(u16At(b, 8), 2u) << "controls";
  EXPECT_EQ(static_cast<std::int16_t>(u16At(b, 10)), 10);
  EXPECT_EQ(static_cast<std::int16_t>(u16At(b, 12)), 31);
  EXPECT_EQ(static_cast<std::int16_t>(u16At(b, 14)), 193);
  EXPECT_EQ(static_cast<std::int16_t>(u16At(b, 16)), 130);
  std::size_t at = 18;
  const SzOrOrd menu = readSzOrOrd(b, at), windowClass = readSzOrOrd(b, at), caption = readSzOrOrd(b, at);
  EXPECT_TRUE(!menu.isOrdinal && menu.text.empty()) << "no menu";
  EXPECT_TRUE(!windowClass.isOrdinal && windowClass.text.empty()) << "the standard dialog class";
  EXPECT_EQ(caption.text, L"Info");
  EXPECT_EQ(u16At(b, at), 8u) << "point size";
  at += 2;
  EXPECT_EQ(readSzOrOrd(b, at).text, L"System");

  struct Item {
    std::uint32_t style;
    std::int16_t x, y, cx, cy;
    std::uint16_t id;
    std::uint16_t classAtom;
    const wchar_t* className;
    const wchar_t* text;
  };
  static const Item items[] = {
      {WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHBUTTON, 145, 108, 38, 15, IDOK, 0x0080, L"Button", L"&OK"},
      {WS_CHILD | WS_VISIBLE | SS_ICON, 9, 10, 16, 16, static_cast<std::uint16_t>(IDC_STATIC), 0x0082, L"Static",
       L"MAINICON"},
  };
  for (const Item& item : items) {
    SCOPED_TRACE(narrow(item.text));
    at = (at + 3) & ~std::size_t{3};
    ASSERT_LE(at + 18, b.size());
    EXPECT_EQ(u32At(b, at), item.style);
    EXPECT_EQ(u32At(b, at + 4), 0u);
    EXPECT_EQ(static_cast<std::int16_t>(u16At(b, at + 8)), item.x);
    EXPECT_EQ(static_cast<std::int16_t>(u16At(b, at + 10)), item.y);
    EXPECT_EQ(static_cast<std::int16_t>(u16At(b, at + 12)), item.cx);
    EXPECT_EQ(static_cast<std::int16_t>(u16At(b, at + 14)), item.cy);
    EXPECT_EQ(u16At(b, at + 16), item.id);
    at += 18;
    // The predefined classes may be named by atom or by name; both create the same control.
    const SzOrOrd itemClass = readSzOrOrd(b, at);
    if (itemClass.isOrdinal)
      EXPECT_EQ(itemClass.ordinal, item.classAtom);
    else
      EXPECT_EQ(CompareStringOrdinal(itemClass.text.c_str(), -1, item.className, -1, TRUE), CSTR_EQUAL)
          << narrow(itemClass.text.c_str());
    EXPECT_EQ(readSzOrOrd(b, at).text, item.text);
    at += 2 + u16At(b, at);  // creation data
  }
}

INT_PTR CALLBACK passiveDialogProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(ResourcesAboutBox, CreatesWithButtonAndIcon) {
  WindowPtr dialog(CreateDialogParamW(self(), L"ABOUTBX", nullptr, passiveDialogProc, 0));
  ASSERT_TRUE(dialog);
  wchar_t text[32] = {};
  GetWindowTextW(dialog.get(), text, static_cast<int>(std::size(text)));
  EXPECT_STREQ(text, L"Info");
  HWND ok = GetDlgItem(dialog.get(), IDOK);
  ASSERT_NE(ok, nullptr);
  GetWindowTextW(ok, text, static_cast<int>(std::size(text)));
  EXPECT_STREQ(text, L"&OK");
  HWND iconControl = FindWindowExW(dialog.get(), nullptr, L"Static", nullptr);
  ASSERT_NE(iconControl, nullptr);
  EXPECT_NE(SendMessageW(iconControl, STM_GETICON, 0, 0), 0) << "the static control found MAINICON";
}

// ---- manifest --------------------------------------------------------------------------------

TEST(ResourcesManifest, DeclaresWhatTheLoaderNeeds) {
  const auto bytes = resourceBytes(MAKEINTRESOURCEW(1), RT_MANIFEST);
  ASSERT_FALSE(bytes.empty());
  const std::string_view text(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  static const char* const fragments[] = {
      R"(level="asInvoker")",
      R"(name="Microsoft.Windows.Common-Controls" version="6.0.0.0")",
      "{e2011457-1546-43c5-a5fe-008deee3d3f0}",  // Vista
      "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}",  // 7
      "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",  // 8
      "{1f676c76-80e1-4239-95bb-83d0f6d0da78}",  // 8.1
      "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",  // 10
      ">PerMonitorV2",
  };
  for (const char* f : fragments) EXPECT_NE(text.find(f), std::string_view::npos) << f;
}

TEST(ResourcesManifest, ActivationContextBuildsFromIt) {
  wchar_t path[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(self(), path, MAX_PATH), 0u);
  ACTCTXW request{};
  request.cbSize = sizeof request;
  request.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
  request.lpSource = path;
  request.hModule = self();
  request.lpResourceName = MAKEINTRESOURCEW(1);
  SetLastError(0xdeadbeef);
  HANDLE created = CreateActCtxW(&request);
  ASSERT_NE(created, INVALID_HANDLE_VALUE) << "error " << GetLastError();
  ActCtxPtr context(created);
}

// ---- version ---------------------------------------------------------------------------------

TEST(ResourcesVersion, TellsWhatTheFileIsInGerman) {
  wchar_t path[MAX_PATH];
  ASSERT_NE(GetModuleFileNameW(self(), path, MAX_PATH), 0u);
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
  ASSERT_GT(size, 0u) << "no version resource";
  std::vector<std::uint8_t> info(size);
  ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, info.data()));

  void* value = nullptr;
  UINT length = 0;
  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\VarFileInfo\\Translation", &value, &length));
  ASSERT_EQ(length, 4u);
  const auto* translation = static_cast<const WORD*>(value);
  EXPECT_EQ(translation[0], 0x0407) << "German";
  EXPECT_EQ(translation[1], 1200) << "Unicode";

  ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", &value, &length));
  ASSERT_EQ(length, sizeof(VS_FIXEDFILEINFO));
  const auto& fixed = *static_cast<const VS_FIXEDFILEINFO*>(value);
  EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
  EXPECT_EQ(fixed.dwFileType, static_cast<DWORD>(VFT_APP));
  for (const auto& [ms, ls] : {std::pair{fixed.dwFileVersionMS, fixed.dwFileVersionLS},
                               std::pair{fixed.dwProductVersionMS, fixed.dwProductVersionLS}}) {
    EXPECT_EQ(HIWORD(ms), 4);
    EXPECT_EQ(LOWORD(ms), 0);
    EXPECT_EQ(HIWORD(ls), TESS_VERSION_PATCH);
  }

  const std::wstring version = std::wstring(L"4.0.") + std::to_wstring(TESS_VERSION_PATCH);
  static const struct {
    const wchar_t* name;
    std::wstring expected;  // empty: any text but an empty one
  } strings[] = {
      {L"ProductName", L"Tessarino"},  {L"FileVersion", version}, {L"ProductVersion", version},
      {L"FileDescription", L""},       {L"CompanyName", L""},     {L"LegalCopyright", L""},
  };
  for (const auto& s : strings) {
    SCOPED_TRACE(testing::Message() << "value " << s.name);
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040704B0\\") + s.name;
    ASSERT_TRUE(VerQueryValueW(info.data(), key.c_str(), &value, &length));
    const std::wstring text(static_cast<const wchar_t*>(value));
    if (s.expected.empty())
      EXPECT_FALSE(text.empty());
    else
      EXPECT_EQ(text, s.expected);
  }
}

}  // namespace
