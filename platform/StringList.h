#pragma once
// A list of byte strings in the class library's model, each with one pointer-sized value
// (its "object", here an integer such as a status; a pointer may be cast into it). Text
// is written with CR LF after every line and read with CR LF, LF or CR line ends.
// Comparisons (IndexOf, names, sorting) ignore ASCII letter case unless CaseSensitive.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/Exceptions.h"

class TStream;

// "List index out of bounds (<i>)", "String list does not allow duplicates",
// "Operation not allowed on sorted list".
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStringList {
public:
    TStringList() = default;
    TStringList(const TStringList&) = default;
    TStringList& operator=(const TStringList&) = default;
    virtual ~TStringList() = default;

    int Count() const { return static_cast<int>(FItems.size()); }
    const std::string& Strings(int index) const;
    const std::string& operator[](int index) const { return Strings(index); }
    // Not on a sorted list.
    void SetStrings(int index, const std::string& s);
    intptr_t Objects(int index) const;
    void SetObjects(int index, intptr_t object);

    // The index of the new string; on a sorted list its sorted place (or, for a
    // duplicate with dupIgnore, the index of the string already there).
    int Add(const std::string& s);
    int AddObject(const std::string& s, intptr_t object);
    void AddStrings(const TStringList& other);
    // Not on a sorted list. Index 0 .. Count().
    void Insert(int index, const std::string& s);
    void InsertObject(int index, const std::string& s, intptr_t object);
    void Delete(int index);
    void Exchange(int index1, int index2);
    void Clear();

    // The first index of a string equal to s, or -1.
    int IndexOf(const std::string& s) const;
    int IndexOfObject(intptr_t object) const;

    // Name=value lines. Names(i) is the text before the first "=" ("" when there is
    // none); Values(name) the text after it on the first line of that name ("" when no
    // line has the name). SetValues adds or replaces the line, or deletes it for an
    // empty value.
    std::string Names(int index) const;
    std::string ValueFromIndex(int index) const;
    int IndexOfName(const std::string& name) const;
    std::string Values(const std::string& name) const;
    void SetValues(const std::string& name, const std::string& value);

    // Every line followed by CR LF.
    std::string Text() const;
    // Replaces the lines: split at CR LF, LF or CR; a final line end adds no empty line.
    void SetText(const std::string& text);

    // Reads from the stream's position to its end.
    void LoadFromStream(TStream& stream);
    void LoadFromFile(const std::string& fileName);
    void SaveToStream(TStream& stream) const;
    // An existing file is replaced only once the new text is completely written.
    void SaveToFile(const std::string& fileName) const;

    bool Sorted() const { return FSorted; }
    void SetSorted(bool value);
    TDuplicates Duplicates() const { return FDuplicates; }
    void SetDuplicates(TDuplicates value) { FDuplicates = value; }
    bool CaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool value);
    void Sort();
    // Binary search of a sorted list: true when found; index is where s is (the first of
    // equal strings) or would go.
    bool Find(const std::string& s, int& index) const;

protected:
    int CompareStrings(const std::string& a, const std::string& b) const;

private:
    struct Item {
        std::string Text;
        intptr_t Object = 0;
    };
    void CheckIndex(int index) const;
    void CheckNotSorted() const;

    std::vector<Item> FItems;
    bool FSorted = false;
    bool FCaseSensitive = false;
    TDuplicates FDuplicates = dupIgnore;
};
