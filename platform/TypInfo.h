#pragma once
// Published properties and class references.
//
// A class that takes part (a descendant of TPersistent) describes itself once: its exact
// class name, its parent, a factory (the virtual constructor) and its published
// properties, each with a name, a type, a default and a getter and setter. Generic code
// then lists a class's properties, reads and writes them by type, and converts
// enumeration values to names and back, without knowing the class. The level file and
// the editor's property inspector both work through this one description.
//
// Declaring a class:
//
//   // header
//   class tSpider : public tUnit {
//       TP_CLASS(tSpider)
//   public:
//       tDirection GetInitialDirection() const;
//       void SetInitialDirection(tDirection d);
//   };
//
//   // source
//   TP_CLASS_INFO(tSpider, tUnit,
//       OrdProp("InitialDirection", &TypeInfo_tDirection,
//               &tSpider::GetInitialDirection, &tSpider::SetInitialDirection),
//       BoolProp("Flag", &tSpider::GetFlag, &tSpider::SetFlag, false))
//
// Type information for an enumeration or a set is a TTypeInfo value made once with
// MakeEnumType / MakeSetType.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <type_traits>
#include <vector>

#include "platform/Exceptions.h"

enum TTypeKind : uint8_t {
    tkUnknown,
    tkInteger,
    tkChar,
    tkEnumeration,
    tkFloat,
    tkString,   // short string
    tkSet,
    tkClass,
    tkMethod,   // events; never listed
    tkLString,  // long string
};

// A set of type kinds, bit n = kind n.
using TTypeKinds = uint32_t;
constexpr TTypeKinds TypeKind(TTypeKind k) { return TTypeKinds(1) << k; }
// Every kind but methods (what a stored object writes).
constexpr TTypeKinds tkProperties = ~TypeKind(tkMethod) & ((TTypeKinds(1) << (tkLString + 1)) - 1);
// Every kind a property editor can show: all but unknown and methods.
constexpr TTypeKinds tkKnownProperties = tkProperties & ~TypeKind(tkUnknown);

// Raised when a property is read or written against its type.
class EPropertyError : public Exception {
public:
    using Exception::Exception;
};

struct TTypeInfo {
    TTypeKind Kind = tkUnknown;
    std::string Name;
    // Ordinal types (integer, char, enumeration): the range of values.
    int64_t MinValue = 0;
    int64_t MaxValue = 0;
    // Enumerations: the member names for MinValue..MaxValue, in order.
    std::vector<std::string> Names;
    // Sets: the member type (an enumeration with MinValue 0, at most 32 members).
    const TTypeInfo* CompType = nullptr;
};

// Ready-made types.
extern const TTypeInfo TypeInfo_Integer;      // tkInteger, int32 range
extern const TTypeInfo TypeInfo_Char;         // tkChar, 0..255
extern const TTypeInfo TypeInfo_Boolean;      // tkEnumeration "False", "True"
extern const TTypeInfo TypeInfo_Double;       // tkFloat
extern const TTypeInfo TypeInfo_ShortString;  // tkString
extern const TTypeInfo TypeInfo_String;       // tkLString
extern const TTypeInfo TypeInfo_Method;       // tkMethod (an event)

TTypeInfo MakeEnumType(std::string name, std::vector<std::string> names);
// A set of the members of an enumeration (at most 32 members), held as a bit mask.
TTypeInfo MakeSetType(std::string name, const TTypeInfo* members);
// A class-valued property's type, named after the class.
TTypeInfo MakeClassType(std::string name);

// The name of an enumeration value; empty when the value is not a member.
std::string GetEnumName(const TTypeInfo* type, int64_t value);
// The value of an enumeration member name (letters compared without regard to case);
// -1 when no member has that name.
int64_t GetEnumValue(const TTypeInfo* type, const std::string& name);
// The bit mask of every member of a set type.
int64_t SetMask(const TTypeInfo* type);
// Whether an ordinal value fits the type (within MinValue..MaxValue; for a set, no bit
// outside its members).
bool OrdValueInRange(const TTypeInfo* type, int64_t value);

class TPersistent;
struct TClassInfo;
using TClass = const TClassInfo*;

constexpr int32_t NoDefault = INT32_MIN;

struct TPropInfo {
    std::string Name;
    const TTypeInfo* PropType = nullptr;
    // Ordinal default of the property (NoDefault when none).
    int32_t Default = NoDefault;
    // Accessors by kind; a kind's pair is empty for the other kinds.
    std::function<int64_t(const TPersistent&)> GetOrd;
    std::function<void(TPersistent&, int64_t)> SetOrd;
    std::function<double(const TPersistent&)> GetFloat;
    std::function<void(TPersistent&, double)> SetFloat;
    std::function<std::string(const TPersistent&)> GetStr;
    std::function<void(TPersistent&, const std::string&)> SetStr;

    TTypeKind Kind() const { return PropType ? PropType->Kind : tkUnknown; }
};

// A class reference: exact name, parent, virtual constructor and published properties.
struct TClassInfo {
    std::string ClassName;
    TClass Parent = nullptr;
    // Creates an object of exactly this class; empty for classes that cannot be created.
    std::function<TPersistent*()> Factory;
    // The properties this class itself publishes.
    std::vector<TPropInfo> OwnProps;

    // This class or one of its descendants.
    bool InheritsFrom(TClass other) const;
    // A new object of this class (the virtual constructor).
    std::unique_ptr<TPersistent> Create() const;
};

// The persistent-object base: an object whose published properties can be enumerated and
// set by name.
class TPersistent {
public:
    virtual ~TPersistent() = default;
    static TClass StaticClass();
    virtual TClass ClassType() const { return StaticClass(); }
    const std::string& ClassName() const { return ClassType()->ClassName; }
    bool InheritsFrom(TClass cls) const { return ClassType()->InheritsFrom(cls); }
};

// Declares the class-reference members of a descendant of TPersistent.
#define TP_CLASS(Cls)                                        \
public:                                                      \
    static TClass StaticClass();                             \
    TClass ClassType() const override { return StaticClass(); } \
                                                             \
private:

namespace typinfo_detail {
template <class C>
std::function<TPersistent*()> FactoryFor()
{
    if constexpr (std::is_default_constructible_v<C> && !std::is_abstract_v<C>)
        return [] { return static_cast<TPersistent*>(new C()); };
    else
        return {};
}
TClassInfo* Intern(std::unique_ptr<TClassInfo> info);
}  // namespace typinfo_detail

// Defines Cls::StaticClass with its parent and published properties (in a source file).
#define TP_CLASS_INFO(Cls, ParentCls, ...)                                            \
    TClass Cls::StaticClass()                                                         \
    {                                                                                 \
        static const TClass info = typinfo_detail::Intern(std::unique_ptr<TClassInfo>( \
            new TClassInfo{#Cls, ParentCls::StaticClass(),                            \
                           typinfo_detail::FactoryFor<Cls>(), {__VA_ARGS__}}));       \
        return info;                                                                  \
    }

// Property builders. C is the class that publishes the property; getters are const
// member functions, setters take the value.
template <class C, class V>
TPropInfo OrdProp(std::string name, const TTypeInfo* type, V (C::*get)() const, void (C::*set)(V),
                  int32_t def = NoDefault)
{
    static_assert(std::is_integral_v<V> || std::is_enum_v<V>, "ordinal properties hold integers");
    TPropInfo p;
    p.Name = std::move(name);
    p.PropType = type;
    p.Default = def;
    p.GetOrd = [get](const TPersistent& o) {
        return static_cast<int64_t>((static_cast<const C&>(o).*get)());
    };
    p.SetOrd = [set](TPersistent& o, int64_t v) { (static_cast<C&>(o).*set)(static_cast<V>(v)); };
    return p;
}

template <class C>
TPropInfo IntProp(std::string name, int32_t (C::*get)() const, void (C::*set)(int32_t),
                  int32_t def = NoDefault)
{
    return OrdProp(std::move(name), &TypeInfo_Integer, get, set, def);
}

template <class C>
TPropInfo BoolProp(std::string name, bool (C::*get)() const, void (C::*set)(bool), int32_t def = NoDefault)
{
    return OrdProp(std::move(name), &TypeInfo_Boolean, get, set, def);
}

template <class C>
TPropInfo FloatProp(std::string name, double (C::*get)() const, void (C::*set)(double))
{
    TPropInfo p;
    p.Name = std::move(name);
    p.PropType = &TypeInfo_Double;
    p.GetFloat = [get](const TPersistent& o) { return (static_cast<const C&>(o).*get)(); };
    p.SetFloat = [set](TPersistent& o, double v) { (static_cast<C&>(o).*set)(v); };
    return p;
}

// A long string property (type TypeInfo_String), or a short one with TypeInfo_ShortString.
template <class C, class G>
TPropInfo StrProp(std::string name, G get, void (C::*set)(const std::string&),
                  const TTypeInfo* type = &TypeInfo_String)
{
    TPropInfo p;
    p.Name = std::move(name);
    p.PropType = type;
    p.GetStr = [get](const TPersistent& o) { return std::string((static_cast<const C&>(o).*get)()); };
    p.SetStr = [set](TPersistent& o, const std::string& v) { (static_cast<C&>(o).*set)(v); };
    return p;
}

// A property of a kind that has no generic access (a class reference or an event): it is
// listed by name and type only.
TPropInfo OpaqueProp(std::string name, const TTypeInfo* type);

// The published properties of a class and its ancestors whose kind is in `kinds`, sorted
// by name: ASCII letters compared without regard to case, a name before the longer names
// it begins.
std::vector<const TPropInfo*> GetPropList(TClass cls, TTypeKinds kinds = tkProperties);
// A published property by name (letters compared without regard to case); null if none.
const TPropInfo* GetPropInfo(TClass cls, const std::string& name);

// Generic access through the published getters and setters. A property of another kind
// raises EPropertyError; SetOrdProp refuses a value outside the type's range with it too.
int64_t GetOrdProp(const TPersistent& obj, const TPropInfo& prop);
void SetOrdProp(TPersistent& obj, const TPropInfo& prop, int64_t value);
double GetFloatProp(const TPersistent& obj, const TPropInfo& prop);
void SetFloatProp(TPersistent& obj, const TPropInfo& prop, double value);
std::string GetStrProp(const TPersistent& obj, const TPropInfo& prop);
void SetStrProp(TPersistent& obj, const TPropInfo& prop, const std::string& value);
// An enumeration property by member name.
std::string GetEnumProp(const TPersistent& obj, const TPropInfo& prop);
void SetEnumProp(TPersistent& obj, const TPropInfo& prop, const std::string& name);
