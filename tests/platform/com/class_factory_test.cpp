// Class factories, the module lock count behind DllCanUnloadNow, and enumerators.
#include "platform/com/class_factory.h"

#include <gtest/gtest.h>

#include "platform/com/enum_variant.h"
#include "tests/platform/com/sample/abacus.h"

namespace tarvik::platform::com {
namespace {

using sample::kAbacusClass;
using sample::SampleModule;

ComPtr<IClassFactory> FactoryOf(const Guid& clsid) {
  void* raw = nullptr;
  EXPECT_EQ(GetClassObject(SampleModule(), clsid, IClassFactory::kIid, &raw), S_OK);
  return ComPtr<IClassFactory>::Adopt(static_cast<IClassFactory*>(raw));
}

TEST(ClassFactoryTest, MakesObjectsOfItsClass) {
  const ComPtr<IClassFactory> factory = FactoryOf(kAbacusClass.guid);
  ASSERT_TRUE(factory);
  void* raw = nullptr;
  ASSERT_EQ(factory->CreateInstance(nullptr, IDispatch::kIid, &raw), S_OK);
  const ComPtr<IDispatch> abacus = ComPtr<IDispatch>::Adopt(static_cast<IDispatch*>(raw));
  EXPECT_EQ(abacus->GetTypeInfo(), &sample::kAbacusInterface);
}

TEST(ClassFactoryTest, RefusesAggregationAndUnofferedInterfaces) {
  const ComPtr<IClassFactory> factory = FactoryOf(kAbacusClass.guid);
  void* raw = reinterpret_cast<void*>(1);
  EXPECT_EQ(factory->CreateInstance(factory.get(), IDispatch::kIid, &raw), CLASS_E_NOAGGREGATION);
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(factory->CreateInstance(nullptr, IClassFactory::kIid, &raw), E_NOINTERFACE);
  EXPECT_EQ(raw, nullptr);
}

TEST(ClassFactoryTest, OnlyCreatableClassesOfTheModuleHaveFactories) {
  void* raw = reinterpret_cast<void*>(1);
  EXPECT_EQ(GetClassObject(SampleModule(), sample::kBeadClass.guid, IClassFactory::kIid, &raw),
            CLASS_E_CLASSNOTAVAILABLE);  // listed, not creatable
  EXPECT_EQ(raw, nullptr);
  EXPECT_EQ(GetClassObject(SampleModule(), Guid{}, IClassFactory::kIid, &raw),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(GetClassObject(SampleModule(), kAbacusClass.guid, IClassFactory::kIid, nullptr),
            E_POINTER);
}

TEST(ModuleLockTest, ObjectsFactoriesAndServerLocksKeepTheModuleInUse) {
  const std::int64_t base = ModuleLockCount();
  ComPtr<IClassFactory> factory = FactoryOf(kAbacusClass.guid);
  EXPECT_EQ(ModuleLockCount(), base + 1);  // the factory is an object too
  EXPECT_EQ(factory->LockServer(true), S_OK);
  factory.Reset();
  EXPECT_EQ(ModuleLockCount(), base + 1);  // the server lock remains
  EXPECT_EQ(CanUnloadModule(), S_FALSE);
  UnlockModule();  // what LockServer(false) does
  EXPECT_EQ(ModuleLockCount(), base);
}

TEST(VariantEnumeratorTest, WalksSkipsResetsAndClones) {
  const ComPtr<VariantEnumerator> items =
      MakeObject<VariantEnumerator>(std::vector<Variant>{1, 2, 3});
  Variant batch[2];
  std::uint32_t fetched = 0;
  EXPECT_EQ(items->Next(2, batch, &fetched), S_OK);
  EXPECT_EQ(fetched, 2u);
  EXPECT_EQ(batch[1], Variant(2));

  IEnumVariant* copy = nullptr;
  ASSERT_EQ(items->Clone(&copy), S_OK);
  const ComPtr<IEnumVariant> clone = ComPtr<IEnumVariant>::Adopt(copy);

  EXPECT_EQ(items->Next(2, batch, &fetched), S_FALSE);  // only one left
  EXPECT_EQ(fetched, 1u);
  EXPECT_EQ(batch[0], Variant(3));
  EXPECT_EQ(items->Next(1, batch, nullptr), S_FALSE);

  Variant one;
  EXPECT_EQ(clone->Next(1, &one, nullptr), S_OK);  // the clone kept its own position
  EXPECT_EQ(one, Variant(3));

  EXPECT_EQ(items->Reset(), S_OK);
  EXPECT_EQ(items->Skip(2), S_OK);
  EXPECT_EQ(items->Skip(5), S_FALSE);
  EXPECT_EQ(items->Next(2, batch, nullptr), E_POINTER);  // a count above 1 needs `fetched`
}

}  // namespace
}  // namespace tarvik::platform::com
