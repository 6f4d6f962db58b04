#include "platform/TypInfo.h"

#include <algorithm>

namespace {

TTypeInfo OrdinalType(TTypeKind kind, std::string name, int64_t lo, int64_t hi)
{
    TTypeInfo t;
    t.Kind = kind;
    t.Name = std::move(name);
    t.MinValue = lo;
    t.MaxValue = hi;
    return t;
}

TTypeInfo PlainType(TTypeKind kind, std::string name)
{
    TTypeInfo t;
    t.Kind = kind;
    t.Name = std::move(name);
    return t;
}

char LowerAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameTextAscii(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (LowerAscii(a[i]) != LowerAscii(b[i]))
            return false;
    return true;
}

// Case-insensitive order in which a name comes before the longer names it begins.
bool NameBefore(const std::string& a, const std::string& b)
{
    const size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        const unsigned char ca = static_cast<unsigned char>(LowerAscii(a[i]));
        const unsigned char cb = static_cast<unsigned char>(LowerAscii(b[i]));
        if (ca != cb)
            return ca < cb;
    }
    return a.size() < b.size();
}

void RequireKind(const TPropInfo& prop, bool ok, const char* what)
{
    if (!ok)
        throw EPropertyError("Property " + prop.Name + " is not " + what);
}

bool IsOrdinal(TTypeKind k)
{
    return k == tkInteger || k == tkChar || k == tkEnumeration || k == tkSet;
}

}  // namespace

const TTypeInfo TypeInfo_Integer = OrdinalType(tkInteger, "Integer", INT32_MIN, INT32_MAX);
const TTypeInfo TypeInfo_Char = OrdinalType(tkChar, "Char", 0, 255);
const TTypeInfo TypeInfo_Boolean = MakeEnumType("Boolean", {"False", "True"});
const TTypeInfo TypeInfo_Double = PlainType(tkFloat, "Double");
const TTypeInfo TypeInfo_ShortString = PlainType(tkString, "ShortString");
const TTypeInfo TypeInfo_String = PlainType(tkLString, "String");
const TTypeInfo TypeInfo_Method = PlainType(tkMethod, "TNotifyEvent");

TTypeInfo MakeEnumType(std::string name, std::vector<std::string> names)
{
    TTypeInfo t = OrdinalType(tkEnumeration, std::move(name), 0, static_cast<int64_t>(names.size()) - 1);
    t.Names = std::move(names);
    return t;
}

TTypeInfo MakeSetType(std::string name, const TTypeInfo* members)
{
    TTypeInfo t = PlainType(tkSet, std::move(name));
    // The member range is read when used: the member type may be a global of another
    // file that is not initialised yet.
    t.CompType = members;
    return t;
}

TTypeInfo MakeClassType(std::string name)
{
    return PlainType(tkClass, std::move(name));
}

std::string GetEnumName(const TTypeInfo* type, int64_t value)
{
    if (!type || type->Kind != tkEnumeration || value < type->MinValue || value > type->MaxValue)
        return {};
    const size_t i = static_cast<size_t>(value - type->MinValue);
    return i < type->Names.size() ? type->Names[i] : std::string();
}

int64_t GetEnumValue(const TTypeInfo* type, const std::string& name)
{
    if (!type || type->Kind != tkEnumeration)
        return -1;
    for (size_t i = 0; i < type->Names.size(); ++i)
        if (SameTextAscii(type->Names[i], name))
            return type->MinValue + static_cast<int64_t>(i);
    return -1;
}

int64_t SetMask(const TTypeInfo* type)
{
    if (!type || type->Kind != tkSet || !type->CompType)
        return 0;
    const int64_t count = std::clamp<int64_t>(type->CompType->MaxValue + 1, 0, 32);
    return (int64_t(1) << count) - 1;
}

bool OrdValueInRange(const TTypeInfo* type, int64_t value)
{
    if (!type)
        return false;
    if (type->Kind == tkSet)
        return value >= 0 && (value & ~SetMask(type)) == 0;
    return value >= type->MinValue && value <= type->MaxValue;
}

bool TClassInfo::InheritsFrom(TClass other) const
{
    for (TClass c = this; c; c = c->Parent)
        if (c == other)
            return true;
    return false;
}

std::unique_ptr<TPersistent> TClassInfo::Create() const
{
    if (!Factory)
        throw EPropertyError("Cannot create an instance of " + ClassName);
    return std::unique_ptr<TPersistent>(Factory());
}

TClass TPersistent::StaticClass()
{
    static const TClass info = typinfo_detail::Intern(
        std::unique_ptr<TClassInfo>(new TClassInfo{"TPersistent", nullptr, {}, {}}));
    return info;
}

TClassInfo* typinfo_detail::Intern(std::unique_ptr<TClassInfo> info)
{
    // Class references live for the whole run; the table is never destroyed so that
    // objects freed during static destruction can still ask for their class.
    static auto* all = new std::vector<std::unique_ptr<TClassInfo>>();
    all->push_back(std::move(info));
    return all->back().get();
}

TPropInfo OpaqueProp(std::string name, const TTypeInfo* type)
{
    TPropInfo p;
    p.Name = std::move(name);
    p.PropType = type;
    return p;
}

std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds)
{
    std::vector<TClass> chain;
    for (TClass c = cls; c; c = c->Parent)
        chain.push_back(c);
    std::vector<const TPropInfo*> out;
    // Inherited properties first, as the class table holds them; then sorted.
    for (auto it = chain.rbegin(); it != chain.rend(); ++it)
        for (const TPropInfo& p : (*it)->OwnProps)
            if (kinds & TypeKind(p.Kind()))
                out.push_back(&p);
    std::stable_sort(out.begin(), out.end(),
                     [](const TPropInfo* a, const TPropInfo* b) { return NameBefore(a->Name, b->Name); });
    return out;
}

const TPropInfo* GetPropInfo(TClass cls, const std::string& name)
{
    // A descendant's declaration hides an ancestor's of the same name.
    for (TClass c = cls; c; c = c->Parent)
        for (const TPropInfo& p : c->OwnProps)
            if (SameTextAscii(p.Name, name))
                return &p;
    return nullptr;
}

int64_t GetOrdProp(const TPersistent& obj, const TPropInfo& prop)
{
    RequireKind(prop, IsOrdinal(prop.Kind()) && prop.GetOrd, "ordinal");
    return prop.GetOrd(obj);
}

void SetOrdProp(TPersistent& obj, const TPropInfo& prop, int64_t value)
{
    RequireKind(prop, IsOrdinal(prop.Kind()) && prop.SetOrd, "ordinal");
    if (!OrdValueInRange(prop.PropType, value))
        throw EPropertyError("Value " + std::to_string(value) + " out of range for property " + prop.Name);
    prop.SetOrd(obj, value);
}

double GetFloatProp(const TPersistent& obj, const TPropInfo& prop)
{
    RequireKind(prop, prop.Kind() == tkFloat && prop.GetFloat, "a number");
    return prop.GetFloat(obj);
}

void SetFloatProp(TPersistent& obj, const TPropInfo& prop, double value)
{
    RequireKind(prop, prop.Kind() == tkFloat && prop.SetFloat, "a number");
    prop.SetFloat(obj, value);
}

std::string GetStrProp(const TPersistent& obj, const TPropInfo& prop)
{
    RequireKind(prop, (prop.Kind() == tkString || prop.Kind() == tkLString) && prop.GetStr, "a string");
    return prop.GetStr(obj);
}

void SetStrProp(TPersistent& obj, const TPropInfo& prop, const std::string& value)
{
    RequireKind(prop, (prop.Kind() == tkString || prop.Kind() == tkLString) && prop.SetStr, "a string");
    // A short string holds at most 255 characters.
    if (prop.Kind() == tkString && value.size() > 255)
        prop.SetStr(obj, value.substr(0, 255));
    else
        prop.SetStr(obj, value);
}

std::string GetEnumProp(const TPersistent& obj, const TPropInfo& prop)
{
    RequireKind(prop, prop.Kind() == tkEnumeration, "an enumeration");
    return GetEnumName(prop.PropType, GetOrdProp(obj, prop));
}

void SetEnumProp(TPersistent& obj, const TPropInfo& prop, const std::string& name)
{
    RequireKind(prop, prop.Kind() == tkEnumeration, "an enumeration");
    const int64_t v = GetEnumValue(prop.PropType, name);
    if (v < 0)
        throw EPropertyError("Invalid property value " + name + " for " + prop.Name);
    SetOrdProp(obj, prop, v);
}
