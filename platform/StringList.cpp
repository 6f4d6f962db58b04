#include "platform/StringList.h"

#include <algorithm>

#include "platform/Streams.h"

namespace {

unsigned char Lower(unsigned char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c - 'A' + 'a') : c;
}

} // namespace

int TStringList::CompareStrings(const std::string& a, const std::string& b) const
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        unsigned char ca = static_cast<unsigned char>(a[i]);
        unsigned char cb = static_cast<unsigned char>(b[i]);
        if (!FCaseSensitive) {
            ca = Lower(ca);
            cb = Lower(cb);
        }
        if (ca != cb)
            return ca < cb ? -1 : 1;
    }
    if (a.size() == b.size())
        return 0;
    return a.size() < b.size() ? -1 : 1;
}

void TStringList::CheckIndex(int index) const
{
    if (index < 0 || index >= Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TStringList::CheckNotSorted() const
{
    if (FSorted)
        throw EStringListError("Operation not allowed on sorted list");
}

const std::string& TStringList::Strings(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Text;
}

void TStringList::SetStrings(int index, const std::string& s)
{
    CheckNotSorted();
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].Text = s;
}

intptr_t TStringList::Objects(int index) const
{
    CheckIndex(index);
    return FItems[static_cast<size_t>(index)].Object;
}

void TStringList::SetObjects(int index, intptr_t object)
{
    CheckIndex(index);
    FItems[static_cast<size_t>(index)].Object = object;
}

int TStringList::Add(const std::string& s)
{
    return AddObject(s, 0);
}

int TStringList::AddObject(const std::string& s, intptr_t object)
{
    if (!FSorted) {
        FItems.push_back(Item{s, object});
        return Count() - 1;
    }
    int index = 0;
    if (Find(s, index)) {
        if (FDuplicates == dupIgnore)
            return index;
        if (FDuplicates == dupError)
            throw EStringListError("String list does not allow duplicates");
    }
    FItems.insert(FItems.begin() + index, Item{s, object});
    return index;
}

void TStringList::AddStrings(const TStringList& other)
{
    const TStringList copy = other; // adding a list to itself
    for (const Item& item : copy.FItems)
        AddObject(item.Text, item.Object);
}

void TStringList::Insert(int index, const std::string& s)
{
    InsertObject(index, s, 0);
}

void TStringList::InsertObject(int index, const std::string& s, intptr_t object)
{
    CheckNotSorted();
    if (index < 0 || index > Count())
        throw EStringListError("List index out of bounds (" + std::to_string(index) + ")");
    FItems.insert(FItems.begin() + index, Item{s, object});
}

void TStringList::Delete(int index)
{
    CheckIndex(index);
    FItems.erase(FItems.begin() + index);
}

void TStringList::Exchange(int index1, int index2)
{
    CheckIndex(index1);
    CheckIndex(index2);
    std::swap(FItems[static_cast<size_t>(index1)], FItems[static_cast<size_t>(index2)]);
}

void TStringList::Clear()
{
    FItems.clear();
}

int TStringList::IndexOf(const std::string& s) const
{
    if (FSorted) {
        int index = 0;
        return Find(s, index) ? index : -1;
    }
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(FItems[static_cast<size_t>(i)].Text, s) == 0)
            return i;
    return -1;
}

int TStringList::IndexOfObject(intptr_t object) const
{
    for (int i = 0; i < Count(); ++i)
        if (FItems[static_cast<size_t>(i)].Object == object)
            return i;
    return -1;
}

std::string TStringList::Names(int index) const
{
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStringList::ValueFromIndex(int index) const
{
    const std::string& s = Strings(index);
    const size_t eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

int TStringList::IndexOfName(const std::string& name) const
{
    for (int i = 0; i < Count(); ++i) {
        const std::string& s = FItems[static_cast<size_t>(i)].Text;
        const size_t eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(s.substr(0, eq), name) == 0)
            return i;
    }
    return -1;
}

std::string TStringList::Values(const std::string& name) const
{
    const int i = IndexOfName(name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStringList::SetValues(const std::string& name, const std::string& value)
{
    const int i = IndexOfName(name);
    if (value.empty()) {
        if (i >= 0)
            Delete(i);
        return;
    }
    if (i < 0) {
        Add(name + "=" + value);
    } else if (FSorted) {
        const intptr_t object = FItems[static_cast<size_t>(i)].Object;
        Delete(i);
        AddObject(name + "=" + value, object);
    } else {
        FItems[static_cast<size_t>(i)].Text = name + "=" + value;
    }
}

std::string TStringList::Text() const
{
    std::string out;
    for (const Item& item : FItems) {
        out += item.Text;
        out += "\r\n";
    }
    return out;
}

void TStringList::SetText(const std::string& text)
{
    Clear();
    size_t start = 0;
    size_t i = 0;
    while (i < text.size()) {
        const char c = text[i];
        if (c != '\r' && c != '\n') {
            ++i;
            continue;
        }
        Add(text.substr(start, i - start));
        i += (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ? 2 : 1;
        start = i;
    }
    if (start < text.size())
        Add(text.substr(start));
}

void TStringList::LoadFromStream(TStream& stream)
{
    SetText(stream.Position() < stream.Size() ? stream.ReadToEnd() : std::string());
}

void TStringList::LoadFromFile(const std::string& fileName)
{
    TFileStream file(fileName, fmOpenRead);
    LoadFromStream(file);
}

void TStringList::SaveToStream(TStream& stream) const
{
    const std::string text = Text();
    size_t done = 0;
    while (done < text.size()) {
        const int32_t n = static_cast<int32_t>(std::min<size_t>(text.size() - done, 1 << 30));
        stream.WriteBuffer(text.data() + done, n);
        done += static_cast<size_t>(n);
    }
}

void TStringList::SaveToFile(const std::string& fileName) const
{
    WriteFileReplacing(fileName, [this](TStream& s) { SaveToStream(s); });
}

void TStringList::SetSorted(bool value)
{
    if (value && !FSorted)
        Sort();
    FSorted = value;
}

void TStringList::SetCaseSensitive(bool value)
{
    if (value == FCaseSensitive)
        return;
    FCaseSensitive = value;
    if (FSorted)
        Sort();
}

void TStringList::Sort()
{
    std::stable_sort(FItems.begin(), FItems.end(),
        [this](const Item& a, const Item& b) { return CompareStrings(a.Text, b.Text) < 0; });
}

bool TStringList::Find(const std::string& s, int& index) const
{
    int lo = 0;
    int hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        const int mid = lo + (hi - lo) / 2;
        const int c = CompareStrings(FItems[static_cast<size_t>(mid)].Text, s);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0)
                found = true;
        }
    }
    index = lo;
    return found;
}
