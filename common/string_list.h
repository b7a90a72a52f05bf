// TStrings and TStringList: ordered lists of texts, each item optionally carrying an object.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <typeinfo>
#include <unordered_map>
#include <utility>
#include <vector>

#include "common/exceptions.h"
#include "common/text_encoding.h"

// Raised for an index out of range and for operations a sorted list does not allow.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// The object attached to a list item. An object handed over as std::unique_ptr is owned: it is
// freed when its item is deleted, when another object replaces it, on Clear and with the list.
// An object handed over as a plain pointer is only referred to and never freed by the list.
class TAttachedObject {
public:
    TAttachedObject() noexcept = default;
    TAttachedObject(std::nullptr_t) noexcept {}
    template <class T>
    TAttachedObject(std::unique_ptr<T> owned) noexcept
        : FPtr(owned.release()), FType(&typeid(T)), FFree(FPtr ? &freeAs<T> : nullptr) {}
    template <class T>
    TAttachedObject(T* borrowed) noexcept : FPtr(const_cast<void*>(static_cast<const void*>(borrowed))), FType(&typeid(T)) {}

    TAttachedObject(TAttachedObject&& other) noexcept { swap(other); }
    TAttachedObject& operator=(TAttachedObject&& other) noexcept {
        TAttachedObject(std::move(other)).swap(*this);
        return *this;
    }
    TAttachedObject(const TAttachedObject&) = delete;
    TAttachedObject& operator=(const TAttachedObject&) = delete;
    ~TAttachedObject() {
        if (FFree) FFree(FPtr);
    }

    void* Get() const noexcept { return FPtr; }
    bool Owned() const noexcept { return FFree != nullptr; }
    // The object when it was attached as a T (exactly that type), else nullptr.
    template <class T>
    T* As() const noexcept {
        return FPtr && *FType == typeid(T) ? static_cast<T*>(FPtr) : nullptr;
    }
    // Gives up ownership: the object as a T when it was owned and attached as a T.
    template <class T>
    std::unique_ptr<T> Release() noexcept {
        if (!FFree || *FType != typeid(T)) return nullptr;
        FFree = nullptr;
        return std::unique_ptr<T>(static_cast<T*>(std::exchange(FPtr, nullptr)));
    }

    void swap(TAttachedObject& other) noexcept {
        std::swap(FPtr, other.FPtr);
        std::swap(FType, other.FType);
        std::swap(FFree, other.FFree);
    }

private:
    template <class T>
    static void freeAs(void* p) noexcept {
        delete static_cast<T*>(p);
    }

    void* FPtr = nullptr;
    const std::type_info* FType = &typeid(void);
    void (*FFree)(void*) = nullptr;
};

// Calls f(line) for every line of text; lines end at CR, LF or CR LF, and a last line without
// a line end counts (so "a\r\n" is one line and "" none).
template <class F>
void ForEachLine(std::u16string_view text, F&& f) {
    std::size_t start = 0;
    const std::size_t n = text.size();
    for (std::size_t i = 0; i < n; ++i) {
        const char16_t c = text[i];
        if (c != u'\r' && c != u'\n') continue;
        f(text.substr(start, i - start));
        if (c == u'\r' && i + 1 < n && text[i + 1] == u'\n') ++i;
        start = i + 1;
    }
    if (start < n) f(text.substr(start));
}

// Any list of texts. Positions are 0-based; a bad index raises EStringListError.
class TStrings {
public:
    virtual ~TStrings() = default;

    virtual int Count() const = 0;
    virtual const std::u16string& Strings(int index) const = 0;
    virtual void Put(int index, std::u16string s) = 0;
    virtual void* Objects(int index) const = 0;
    virtual void PutObject(int index, TAttachedObject obj) = 0;
    // Appends (a sorted list: inserts at the sorted place); the index of the item.
    virtual int AddObject(std::u16string s, TAttachedObject obj) = 0;
    virtual void InsertObject(int index, std::u16string s, TAttachedObject obj) = 0;
    virtual void Delete(int index) = 0;
    virtual void Clear() = 0;
    // Index of the first item equal to s, or -1.
    virtual int IndexOf(std::u16string_view s) const = 0;

    // Change notifications are held back between BeginUpdate and the matching EndUpdate.
    void BeginUpdate() { ++FUpdateCount; }
    void EndUpdate();
    int UpdateCount() const noexcept { return FUpdateCount; }
    // Called after every change, or once at the end of an update batch that changed the list.
    std::function<void(TStrings&)> OnChange;

    int Add(std::u16string s) { return AddObject(std::move(s), nullptr); }
    void Insert(int index, std::u16string s) { InsertObject(index, std::move(s), nullptr); }
    bool IsEmpty() const { return Count() == 0; }
    // The object of an item when it was attached as a T.
    template <class T>
    T* ObjectAs(int index) const;

    // Replaces the content with the texts of other (objects are not taken over).
    void Assign(const TStrings& other);
    void AddStrings(const TStrings& other);

    // All items, each followed by CR LF.
    std::u16string Text() const;
    // Replaces the content with the lines of text (see ForEachLine).
    void SetText(std::u16string_view text);

    // Replaces the content with the lines of bytes. Without an encoding a leading byte order mark
    // decides (UTF-8, UTF-16 LE or BE, else the ANSI code page); a mark of the encoding used is
    // skipped. Raises EEncodingError for bytes that are not valid in it; returns the encoding.
    TTextEncoding LoadFromBytes(std::string_view bytes, std::optional<TTextEncoding> encoding = std::nullopt);
    // The encoding's byte order mark, then every item followed by CR LF.
    std::string SaveToBytes(TTextEncoding encoding) const;

protected:
    virtual const TAttachedObject& AttachedAt(int index) const = 0;
    // Reports a change (now, or at the end of the current update batch).
    void Changed();

private:
    int FUpdateCount = 0;
    bool FChangedInUpdate = false;
};

// Holds a list's change notifications back for the lifetime of the guard.
class TStringsUpdate {
public:
    explicit TStringsUpdate(TStrings& list) : FList(list) { FList.BeginUpdate(); }
    ~TStringsUpdate() { FList.EndUpdate(); }
    TStringsUpdate(const TStringsUpdate&) = delete;
    TStringsUpdate& operator=(const TStringsUpdate&) = delete;

private:
    TStrings& FList;
};

template <class T>
T* TStrings::ObjectAs(int index) const {
    return AttachedAt(index).template As<T>();
}

// The string list. Texts compare with the user's locale (platform::CompareText),
// case-insensitively unless CaseSensitive is set; the empty text sorts first.
// A sorted list keeps its items in that order, inserts new texts at their place and ignores a
// text that is already present.
class TStringList : public TStrings {
public:
    TStringList() = default;
    TStringList(TStringList&&) noexcept = default;
    TStringList& operator=(TStringList&&) noexcept = default;
    ~TStringList() override = default;

    int Count() const override { return static_cast<int>(FItems.size()); }
    const std::u16string& Strings(int index) const override;
    void Put(int index, std::u16string s) override;
    void* Objects(int index) const override;
    void PutObject(int index, TAttachedObject obj) override;
    int AddObject(std::u16string s, TAttachedObject obj) override;
    void InsertObject(int index, std::u16string s, TAttachedObject obj) override;
    void Delete(int index) override;
    void Clear() override;
    // Binary search on a sorted list (landing on the first of equal items), else the first
    // equal item in list order; large unsorted lists answer through a lookup index.
    int IndexOf(std::u16string_view s) const override;

    // Sorted list: whether s is present, and index := its position or the place it would take.
    bool Find(std::u16string_view s, int& index) const;
    // Orders the items by text; equal texts end up in no particular order.
    void Sort();
    // Swaps two items with their objects (not allowed on a sorted list).
    void Exchange(int a, int b);
    // Removes the object from an item without freeing it; owned only when attached as an owned T.
    template <class T>
    std::unique_ptr<T> ExtractObject(int index) {
        return FItems[checked(index)].object.template Release<T>();
    }

    bool Sorted() const noexcept { return FSorted; }
    void SetSorted(bool value);
    bool CaseSensitive() const noexcept { return FCaseSensitive; }
    // A sorted list is sorted again with the new comparison.
    void SetCaseSensitive(bool value);

    // The comparison of this list: <0, 0 or >0.
    int CompareStrings(std::u16string_view a, std::u16string_view b) const;

protected:
    const TAttachedObject& AttachedAt(int index) const override { return FItems[checked(index)].object; }
    // Deletes every item whose flag is set, in one pass.
    void DeleteMarked(const std::vector<bool>& marked);

private:
    struct TItem {
        std::u16string text;
        TAttachedObject object;
    };

    // Lookup index of an unsorted list: for each "plain" text (printable ASCII, where the
    // locale's comparison is a plain case-insensitive or exact match) the position of its first
    // item, and the positions of all other items, which only the locale can compare.
    struct TLookup {
        bool valid = false;
        std::unordered_map<std::u16string, int> first;
        std::vector<int> others;
    };

    std::size_t checked(int index) const;
    // The index key of a plain text; false for texts only the locale can compare.
    bool plainKey(std::u16string_view s, std::u16string& key) const;
    int linearIndexOf(std::u16string_view s) const;
    int lookupIndexOf(std::u16string_view s) const;
    void buildLookup() const;
    void lookupAppended(int index);
    void lookupDeleted(int index);
    void invalidateLookup() noexcept { FLookup.valid = false; }
    void insertItem(std::size_t pos, std::u16string s, TAttachedObject obj);

    std::vector<TItem> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    mutable TLookup FLookup;
};
