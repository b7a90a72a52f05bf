// TStringObject: an object holding one text, the value of every INI line.
#pragma once

#include <string>
#include <utility>

class TStringObject {
public:
    explicit TStringObject(std::u16string s = {}) : FString(std::move(s)) {}
    virtual ~TStringObject() = default;

    const std::u16string& SString() const noexcept { return FString; }
    void SetSString(std::u16string s) { FString = std::move(s); }

    std::u16string FString;
};
