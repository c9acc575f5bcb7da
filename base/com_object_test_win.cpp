#include "base/com_object_win.h"

#include <gtest/gtest.h>

#include <oleidl.h>

namespace {

// An object with two interfaces; IOleWindow's base IID is answered too. It reports its
// destruction so that the tests see the last Release.
class Probe final : public base::ComObject<IPersist, IOleWindow> {
 public:
  Probe(bool* destroyed, bool offersWindow) : destroyed_(destroyed), offersWindow_(offersWindow) {}
  ~Probe() override { *destroyed_ = true; }

  STDMETHODIMP QueryInterface(REFIID riid, void** object) override {
    IOleWindow* const window = offersWindow_ ? this : nullptr;
    return base::QueryInterfaceFrom(
        {{IID_IPersist, static_cast<IPersist*>(this)}, {IID_IOleWindow, window}}, riid, object);
  }
  STDMETHODIMP GetClassID(CLSID*) override { return E_NOTIMPL; }
  STDMETHODIMP GetWindow(HWND*) override { return E_NOTIMPL; }
  STDMETHODIMP ContextSensitiveHelp(BOOL) override { return E_NOTIMPL; }

 private:
  bool* destroyed_;
  bool offersWindow_;
};

TEST(ComObject, AnswersItsTableAndLivesUntilTheLastRelease) {
  bool destroyed = false;
  auto* probe = new Probe(&destroyed, true);
  IPersist* const persist = probe;

  void* identity = nullptr;
  ASSERT_EQ(probe->QueryInterface(IID_IUnknown, &identity), S_OK);
  EXPECT_EQ(identity, persist);
  void* window = nullptr;
  ASSERT_EQ(probe->QueryInterface(IID_IOleWindow, &window), S_OK);
  EXPECT_EQ(window, static_cast<IOleWindow*>(probe));
  void* missing = &window;
  EXPECT_EQ(probe->QueryInterface(IID_IDispatch, &missing), E_NOINTERFACE);
  EXPECT_EQ(missing, nullptr);
  EXPECT_EQ(probe->QueryInterface(IID_IPersist, nullptr), E_POINTER);

  // Born with one reference, plus the two answers above.
  EXPECT_EQ(static_cast<IUnknown*>(window)->Release(), 2u);
  EXPECT_EQ(static_cast<IUnknown*>(identity)->Release(), 1u);
  EXPECT_FALSE(destroyed);
  EXPECT_EQ(persist->Release(), 0u);
  EXPECT_TRUE(destroyed);
}

TEST(ComObject, LeavesOutARowWithoutAnAnswer) {
  bool destroyed = false;
  auto* probe = new Probe(&destroyed, false);
  void* window = nullptr;
  EXPECT_EQ(probe->QueryInterface(IID_IOleWindow, &window), E_NOINTERFACE);
  EXPECT_EQ(window, nullptr);
  static_cast<IPersist*>(probe)->Release();
  EXPECT_TRUE(destroyed);
}

TEST(ComPtr, ReleasesWhatItHoldsWhenReplacedMovedOrDestroyed) {
  bool firstGone = false, secondGone = false;
  auto* first = new Probe(&firstGone, true);
  auto* second = new Probe(&secondGone, true);
  {
    base::ComPtr<IPersist> held;
    held.Attach(first);
    held.Assign(second);  // takes a reference of its own
    EXPECT_TRUE(firstGone);
    static_cast<IPersist*>(second)->Release();
    EXPECT_FALSE(secondGone);

    base::ComPtr<IPersist> moved = std::move(held);
    EXPECT_FALSE(held);
    EXPECT_EQ(moved.Get(), static_cast<IPersist*>(second));
  }
  EXPECT_TRUE(secondGone);

  bool filledGone = false;
  base::ComPtr<IUnknown> filled;
  auto* source = new Probe(&filledGone, true);
  ASSERT_EQ(source->QueryInterface(IID_IUnknown, filled.PutVoid()), S_OK);
  static_cast<IPersist*>(source)->Release();
  EXPECT_FALSE(filledGone);
  filled.Reset();
  EXPECT_TRUE(filledGone);
}

}  // namespace
