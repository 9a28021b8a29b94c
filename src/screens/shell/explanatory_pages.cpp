// The two explanatory pages: their texts, fonts, pictures and layout.
#include "screens/shell/explanatory_pictures.h"
#include "screens/shell/form5.h"
#include "screens/shell/form6.h"
#include "ui/fonts.h"

namespace valmora {

const ExplanatoryPage Form5::kPage{
    "More Discussion of the Problem",
    {12375, 8565},
    "Investments are classified as SIMPLE or NON-SIMPLE.  Simple investments have a single sign change in the "
    "payments (as shown in the previous screen).  Nonsimple investments have more than one sign change in the "
    "payments (see the example on this screen).  Investments are additionally classified into PURE or MIXED "
    "investments.  Pure investments have a non-positive project balance as evaluated at any payment period "
    "(essentailly a discounted analysis at each payment period).  Mixed investments have some non-negative "
    "project balances as evaluated at any payment period.  The example on this screen is a non-simple, mixed "
    "investment.  Simple investments will always be pure investments.  Non-simple investments may be either "
    "pure or mixed depending upon the project balances.  Non-simple investments may also have multiple IRRs.  "
    "Project balances (evaluted by using each IRR) may lead to project balances that can be mixed or pure!",
    {240, 120, 11880, 1260},
    [] { return ui::Arial(); },
    [](QWidget* parent) -> QWidget* { return new MixedInvestmentPicture(parent); },
    {1680, 1560, 10260, 6795},
    {240, 7800, 1215, 495},
    // Opened from the start screen, which comes to the front again.
    ScreenId::Form2,
    "Worked example: the nonsimple, mixed investment -1000, 1300, -400, 200, its IRR function, its IRR of 0.102 "
    "and its project balances",
};

const ExplanatoryPage Form6::kPage{
    "Normal Probability Distribution",
    {10830, 9255},
    "Discussion - In a normal distribution, the ratio of the mean to the stardard deviation (SD) affects the "
    "random generation of negative payments.  Consider the normal density function shown below with the mean = "
    "400 and the SD = 400.  The CDF shows the area under the curve left of zero to be 15.9% meaning 15.9% of "
    "randomly generated payments using these parameters will be negative.  A user may find generation of "
    "negative payments to be unacceptable.  This program permits means that are no less than one (1) SD "
    "greater than zero.  Additionally, the user may check a box stipulating that no negative payments be "
    "generated.",
    {240, 120, 10365, 1440},
    [] { return ui::SansSerif(9.75); },
    [](QWidget* parent) -> QWidget* { return new NormalDensityPicture(parent); },
    {480, 1800, 9780, 6585},
    {240, 8640, 1335, 495},
    // The stochastic screen that opened it is still shown behind it.
    std::nullopt,
    "Normal density and CDF with mean 400 and SD 400: 15.9% of the payments negative",
};

}  // namespace valmora
