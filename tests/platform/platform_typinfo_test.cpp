// Published properties: listing, generic reads and writes, enumeration names and class
// references.
#include <gtest/gtest.h>

#include "platform/TypInfo.h"

namespace {

enum tShade : uint8_t { shLight, shMedium, shDark };
const TTypeInfo TypeInfo_tShade = MakeEnumType("tShade", {"Light", "Medium", "Dark"});
const TTypeInfo TypeInfo_tShades = MakeSetType("tShades", &TypeInfo_tShade);
const TTypeInfo TypeInfo_TLink = MakeClassType("TLink");

class tBase : public TPersistent {
    TP_CLASS(tBase)
public:
    int32_t GetCount() const { return FCount; }
    void SetCount(int32_t v)
    {
        if (v >= 0 && v <= 15)
            FCount = v;
    }
    int32_t FCount = 0;
};

class tShape : public tBase {
    TP_CLASS(tShape)
public:
    tShade GetShade() const { return FShade; }
    void SetShade(tShade s) { FShade = s; }
    uint8_t GetShades() const { return FShades; }
    void SetShades(uint8_t s) { FShades = s; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool b) { FVisible = b; }
    double GetSize() const { return FSize; }
    void SetSize(double v) { FSize = v; }
    const std::string& GetLabel() const { return FLabel; }
    void SetLabel(const std::string& s) { FLabel = s + "!"; }
    std::string GetCode() const { return FCode; }
    void SetCode(const std::string& s) { FCode = s; }

    tShade FShade = shLight;
    uint8_t FShades = 0;
    bool FVisible = false;
    double FSize = 0;
    std::string FLabel;
    std::string FCode;
};

// Cannot be created: no default constructor.
class tFixed : public tBase {
    TP_CLASS(tFixed)
public:
    explicit tFixed(int) {}
};

}  // namespace

TP_CLASS_INFO(tBase, TPersistent, IntProp("Count", &tBase::GetCount, &tBase::SetCount, 0))
TP_CLASS_INFO(tShape, tBase,
              OrdProp("Shade", &TypeInfo_tShade, &tShape::GetShade, &tShape::SetShade),
              BoolProp("Visible", &tShape::GetVisible, &tShape::SetVisible, 1),
              OrdProp("Shades", &TypeInfo_tShades, &tShape::GetShades, &tShape::SetShades),
              FloatProp("Size", &tShape::GetSize, &tShape::SetSize),
              StrProp("Label", &tShape::GetLabel, &tShape::SetLabel),
              StrProp("code", &tShape::GetCode, &tShape::SetCode, &TypeInfo_ShortString),
              StrProp("LabelText", &tShape::GetLabel, &tShape::SetLabel),
              OpaqueProp("OnChange", &TypeInfo_Method),
              OpaqueProp("Link", &TypeInfo_TLink))
TP_CLASS_INFO(tFixed, tBase)

namespace {

std::vector<std::string> Names(const std::vector<const TPropInfo*>& list)
{
    std::vector<std::string> out;
    for (const TPropInfo* p : list)
        out.push_back(p->Name);
    return out;
}

}  // namespace

TEST(PublishedProperties, ListIsSortedCaseInsensitivelyWithInheritedAndWithoutEvents)
{
    // A prefix comes before the names it begins; "code" sorts among the capitals.
    EXPECT_EQ(Names(GetPropList(tShape::StaticClass())),
              (std::vector<std::string>{"code", "Count", "Label", "LabelText", "Link", "Shade", "Shades",
                                        "Size", "Visible"}));
    EXPECT_EQ(Names(GetPropList(tShape::StaticClass(), TypeKind(tkMethod))), std::vector<std::string>{"OnChange"});
    EXPECT_EQ(Names(GetPropList(tShape::StaticClass(), tkKnownProperties & ~TypeKind(tkClass))).size(), 8u);
    EXPECT_EQ(Names(GetPropList(tBase::StaticClass())), std::vector<std::string>{"Count"});
    EXPECT_TRUE(GetPropList(TPersistent::StaticClass()).empty());
}

TEST(PublishedProperties, LookupByNameIgnoresCase)
{
    ASSERT_NE(GetPropInfo(tShape::StaticClass(), "shade"), nullptr);
    EXPECT_EQ(GetPropInfo(tShape::StaticClass(), "COUNT")->Name, "Count");
    EXPECT_EQ(GetPropInfo(tShape::StaticClass(), "Missing"), nullptr);
    EXPECT_EQ(GetPropInfo(tBase::StaticClass(), "Shade"), nullptr);
    EXPECT_EQ(GetPropInfo(tBase::StaticClass(), "Count")->Default, 0);
    EXPECT_EQ(GetPropInfo(tShape::StaticClass(), "Visible")->Default, 1);
    EXPECT_EQ(GetPropInfo(tShape::StaticClass(), "Size")->Default, NoDefault);
}

TEST(PublishedProperties, ReadsAndWritesGoThroughTheAccessors)
{
    tShape s;
    const TClass c = tShape::StaticClass();
    SetOrdProp(s, *GetPropInfo(c, "Count"), 7);
    EXPECT_EQ(s.FCount, 7);
    SetOrdProp(s, *GetPropInfo(c, "Count"), 16);  // the setter refuses it
    EXPECT_EQ(GetOrdProp(s, *GetPropInfo(c, "Count")), 7);

    SetOrdProp(s, *GetPropInfo(c, "Shade"), shDark);
    EXPECT_EQ(s.FShade, shDark);
    SetOrdProp(s, *GetPropInfo(c, "Visible"), 1);
    EXPECT_TRUE(s.FVisible);
    SetOrdProp(s, *GetPropInfo(c, "Shades"), 5);
    EXPECT_EQ(s.FShades, 5);
    SetFloatProp(s, *GetPropInfo(c, "Size"), 2.5);
    EXPECT_EQ(GetFloatProp(s, *GetPropInfo(c, "Size")), 2.5);
    SetStrProp(s, *GetPropInfo(c, "Label"), "go");
    EXPECT_EQ(GetStrProp(s, *GetPropInfo(c, "Label")), "go!");
    SetStrProp(s, *GetPropInfo(c, "code"), std::string(300, 'x'));
    EXPECT_EQ(s.FCode.size(), 255u);  // a short string holds 255 characters
}

TEST(PublishedProperties, WrongKindsAndOutOfRangeValuesAreRefused)
{
    tShape s;
    const TClass c = tShape::StaticClass();
    struct Case {
        const char* prop;
        int64_t value;
    };
    for (const Case& k : {Case{"Shade", 3}, Case{"Shade", -1}, Case{"Visible", 2}, Case{"Shades", 8},
                          Case{"Shades", -1}, Case{"Count", int64_t(1) << 40}}) {
        SCOPED_TRACE(k.prop);
        EXPECT_THROW(SetOrdProp(s, *GetPropInfo(c, k.prop), k.value), EPropertyError);
    }
    EXPECT_EQ(s.FShade, shLight);
    EXPECT_EQ(s.FShades, 0);
    EXPECT_THROW(GetOrdProp(s, *GetPropInfo(c, "Label")), EPropertyError);
    EXPECT_THROW(SetStrProp(s, *GetPropInfo(c, "Count"), "1"), EPropertyError);
    EXPECT_THROW(GetFloatProp(s, *GetPropInfo(c, "Link")), EPropertyError);
    EXPECT_THROW(GetStrProp(s, *GetPropInfo(c, "OnChange")), EPropertyError);
}

TEST(PublishedProperties, EnumerationNamesAndValues)
{
    EXPECT_EQ(GetEnumName(&TypeInfo_tShade, 1), "Medium");
    EXPECT_EQ(GetEnumName(&TypeInfo_tShade, 3), "");
    EXPECT_EQ(GetEnumName(&TypeInfo_tShade, -1), "");
    EXPECT_EQ(GetEnumName(&TypeInfo_Boolean, 1), "True");
    EXPECT_EQ(GetEnumValue(&TypeInfo_tShade, "Dark"), 2);
    EXPECT_EQ(GetEnumValue(&TypeInfo_tShade, "dARK"), 2);
    EXPECT_EQ(GetEnumValue(&TypeInfo_tShade, "Darker"), -1);
    EXPECT_EQ(GetEnumValue(&TypeInfo_tShade, "1"), -1);
    EXPECT_EQ(GetEnumValue(&TypeInfo_tShade, ""), -1);
    EXPECT_EQ(GetEnumValue(&TypeInfo_Boolean, "false"), 0);
    EXPECT_EQ(GetEnumValue(&TypeInfo_Integer, "Dark"), -1);
    EXPECT_EQ(TypeInfo_tShade.MinValue, 0);
    EXPECT_EQ(TypeInfo_tShade.MaxValue, 2);
    EXPECT_EQ(SetMask(&TypeInfo_tShades), 7);

    tShape s;
    SetEnumProp(s, *GetPropInfo(tShape::StaticClass(), "Shade"), "medium");
    EXPECT_EQ(GetEnumProp(s, *GetPropInfo(tShape::StaticClass(), "Shade")), "Medium");
    EXPECT_THROW(SetEnumProp(s, *GetPropInfo(tShape::StaticClass(), "Shade"), "Pale"), EPropertyError);
    EXPECT_EQ(s.FShade, shMedium);
}

TEST(ClassReferences, NamesParentsFactoriesAndDescent)
{
    const TClass shape = tShape::StaticClass();
    EXPECT_EQ(shape->ClassName, "tShape");
    EXPECT_EQ(shape->Parent, tBase::StaticClass());
    EXPECT_EQ(tBase::StaticClass()->Parent, TPersistent::StaticClass());
    EXPECT_TRUE(shape->InheritsFrom(tBase::StaticClass()));
    EXPECT_TRUE(shape->InheritsFrom(shape));
    EXPECT_FALSE(tBase::StaticClass()->InheritsFrom(shape));
    EXPECT_FALSE(tFixed::StaticClass()->InheritsFrom(shape));

    // The virtual constructor makes an object of exactly that class.
    std::unique_ptr<TPersistent> made = shape->Create();
    EXPECT_EQ(made->ClassType(), shape);
    EXPECT_EQ(made->ClassName(), "tShape");
    EXPECT_TRUE(made->InheritsFrom(tBase::StaticClass()));
    EXPECT_NE(dynamic_cast<tShape*>(made.get()), nullptr);
    EXPECT_THROW(tFixed::StaticClass()->Create(), EPropertyError);
}
