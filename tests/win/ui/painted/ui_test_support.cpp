#include "tests/win/ui/painted/ui_test_support.h"

#include "framework/gdiplus_session.h"

#include <cstdio>
#include <cstdlib>
#include <memory>

namespace {

// GDI+ runs from before the first test until after the last, as it does around the finish dialog.
class GdiplusEnvironment : public testing::Environment {
public:
    void SetUp() override
    {
        m_session = std::make_unique<GdiplusSession>();
        ASSERT_TRUE(m_session->IsStarted());
    }
    void TearDown() override { m_session.reset(); }

private:
    std::unique_ptr<GdiplusSession> m_session;
};

const auto* const g_environment = testing::AddGlobalTestEnvironment(new GdiplusEnvironment);

} // namespace

testing::AssertionResult ColourNear(DWORD actual, DWORD expected, int tolerance, bool withAlpha)
{
    for (int shift = 0; shift < (withAlpha ? 32 : 24); shift += 8) {
        const int a = static_cast<int>((actual >> shift) & 0xFF);
        const int e = static_cast<int>((expected >> shift) & 0xFF);
        if (std::abs(a - e) > tolerance) {
            char text[96];
            std::snprintf(text, sizeof(text), "0x%08lX is not within %d of 0x%08lX", static_cast<unsigned long>(actual),
                          tolerance, static_cast<unsigned long>(expected));
            return testing::AssertionFailure() << text;
        }
    }
    return testing::AssertionSuccess();
}

DWORD PixelOf(Gdiplus::Bitmap& bitmap, int x, int y)
{
    Gdiplus::Color colour;
    bitmap.GetPixel(x, y, &colour);
    return colour.GetValue();
}
