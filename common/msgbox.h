// TMsgBox: how the non-visual units ask or tell the user something, through MsgBox.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <memory>
#include <string>

// Placement of the next dialog, one byte.
enum TMsgAlign : std::uint8_t {
    ma_Center,
    ma_leftTop,
    ma_RightTop,
    ma_CenterTop,
    ma_LeftCenter,
    ma_RightCenter,
    ma_LeftBottom,
    ma_RightBottom,
    ma_CenterBottom,
};

enum TMsgDlgType : std::uint8_t { mtWarning, mtError, mtInformation, mtConfirmation, mtCustom };

enum TMsgDlgBtn : std::uint8_t {
    mbYes,
    mbNo,
    mbOK,
    mbCancel,
    mbAbort,
    mbRetry,
    mbIgnore,
    mbAll,
    mbNoToAll,
    mbYesToAll,
    mbHelp,
    mbClose,
};

// A set of dialog buttons.
class TMsgDlgButtons {
public:
    constexpr TMsgDlgButtons() = default;
    constexpr TMsgDlgButtons(std::initializer_list<TMsgDlgBtn> btns) {
        for (const TMsgDlgBtn b : btns) Include(b);
    }
    constexpr TMsgDlgButtons& Include(TMsgDlgBtn b) {
        FBits = static_cast<std::uint16_t>(FBits | (1u << b));
        return *this;
    }
    constexpr bool Contains(TMsgDlgBtn b) const { return (FBits & (1u << b)) != 0; }
    constexpr bool Empty() const { return FBits == 0; }
    constexpr std::uint16_t Bits() const { return FBits; }

private:
    std::uint16_t FBits = 0;
};

// Button ids returned by the questions (the Windows IDCANCEL, IDYES, IDNO).
inline constexpr int idMsgCancel = 2;
inline constexpr int idMsgYes = 6;
inline constexpr int idMsgNo = 7;

// The plain message box has no user interface: Info raises Exception with the message, a
// carriage return and "MsgBox nicht zugewiesen"; every other question goes through Info and
// then answers with a fixed button id. A descendant placed in MsgBox can show real dialogs;
// overriding Info alone routes every question through it.
class TMsgBox {
public:
    TMsgBox() = default;
    virtual ~TMsgBox() = default;
    TMsgBox(const TMsgBox&) = delete;
    TMsgBox& operator=(const TMsgBox&) = delete;

    virtual int Dlg(const std::u16string& msg, TMsgDlgType dlgType, TMsgDlgButtons btns, TMsgDlgBtn defButton);
    virtual int Info(const std::u16string& msg);
    virtual int ErrInfo(const std::u16string& msg);
    virtual int YesNo(const std::u16string& msg);
    virtual int YesCancel(const std::u16string& msg);
    virtual int NoYes(const std::u16string& msg);
    virtual int YesNoCancel(const std::u16string& msg, bool withRetry);
    virtual int NoYesCancel(const std::u16string& msg, bool withRetry);
    virtual int YesNoAllCancel(const std::u16string& msg, bool withRetry);
    virtual int YesToAllNoCancel(const std::u16string& msg, TMsgDlgBtn defButton, bool withRetry);
    virtual int IgnoreCancel(const std::u16string& msg);
    virtual int OkCancel(const std::u16string& msg);
    // Shows nothing; for call sites that are switched off.
    static int TestInfo(const std::u16string& msg);
    // Places the next dialog by Value.
    virtual void SetAlign(TMsgAlign Value);

    TMsgAlign Align() const noexcept { return FAlign; }
    bool Prompting() const noexcept { return FPrompting; }

    // Total time spent in dialogs, in days; kept by descendants that show dialogs.
    double DialogDurationTotal = 0.0;

protected:
    bool FUseNextAlign = false;
    TMsgAlign FAlign = ma_Center;
    bool FPrompting = false;
};

// The process-wide message box: created by StartCommonUnit, freed by EndCommonUnit.
// A test or a later GUI unit may replace it with a descendant.
extern std::unique_ptr<TMsgBox> MsgBox;
