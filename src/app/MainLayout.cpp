#include "app/MainLayout.h"

#include "accounts/AccountOverview.h"

#include <array>

namespace MainLayout {

namespace {
const QString AccountsPage = QStringLiteral("TabSheet1");
const QString GetPayPage = QStringLiteral("TabSheet3");

// Which fields of a control a row of the table sets.
enum class Fields { Left, LeftTop, WidthHeight, WidthTop, Width };

// One row of the table: a control and its numbers in the four layouts, in the order of Layouts().
struct Row {
    const QString &page;
    const char *control;
    Fields fields;
    std::array<std::array<int, 2>, 4> values;
    bool toBottom = false;
};

// Four layouts of 1024 normal, 1024 maximized, 1440 normal, 1440 maximized.
const Row Rows[] = {
    {AccountsPage, "AccountSum", Fields::LeftTop, {{{24, 448}, {44, 622}, {44, 622}, {244, 722}}}},
    {AccountsPage, "ImageAccount", Fields::LeftTop, {{{152, 296}, {192, 470}, {192, 470}, {392, 570}}}},
    {AccountsPage, "PriorAccount", Fields::LeftTop, {{{184, 448}, {224, 622}, {224, 622}, {424, 722}}}},
    {AccountsPage, "NewAccount", Fields::LeftTop, {{{344, 448}, {384, 622}, {384, 622}, {584, 722}}}},
    {AccountsPage, "NextAccount", Fields::LeftTop, {{{504, 448}, {544, 622}, {544, 622}, {744, 722}}}},
    {AccountsPage, "SpeedButton3", Fields::Left, {{{672}, {912}, {912}, {1232}}}},
    {AccountsPage, "SpeedButton4", Fields::Left, {{{672}, {912}, {912}, {1232}}}},
    {AccountsPage, "Label19", Fields::Left, {{{672}, {912}, {912}, {1232}}}},
    {AccountsPage, "ComboBox2", Fields::Left, {{{672}, {912}, {912}, {1232}}}},
    {AccountsPage, "ComboBox6", Fields::Left, {{{672}, {912}, {912}, {1232}}}},
    // The payables panel reaches down to the bottom of the tab, its grid and buttons with it.
    {GetPayPage, "PanelPay", Fields::WidthTop, {{{663, 240}, {900, 325}, {900, 325}, {1220, 375}}}, true},
    {GetPayPage, "DBGridEh3", Fields::WidthHeight, {{{418, 213}, {660, 299}, {660, 299}, {980, 349}}}},
    {GetPayPage, "DBGridEh4", Fields::WidthHeight, {{{418, 213}, {660, 299}, {660, 299}, {980, 349}}}},
    {GetPayPage, "Bevel6", Fields::Width, {{{640}, {880}, {880}, {1200}}}},
    {GetPayPage, "SpeedButton1", Fields::Left, {{{665}, {905}, {905}, {1225}}}},
    {GetPayPage, "SpeedButton2", Fields::LeftTop, {{{665, 260}, {905, 345}, {905, 345}, {1225, 395}}}},
};

ControlPlace placeOf(const Row &row, int column)
{
    const auto &v = row.values[column];
    ControlPlace place;
    place.control = QString::fromLatin1(row.control);
    place.toBottom = row.toBottom;
    switch (row.fields) {
    case Fields::Left:
        place.left = v[0];
        break;
    case Fields::LeftTop:
        place.left = v[0];
        place.top = v[1];
        break;
    case Fields::WidthHeight:
        place.width = v[0];
        place.height = v[1];
        break;
    case Fields::WidthTop:
        place.width = v[0];
        place.top = v[1];
        break;
    case Fields::Width:
        place.width = v[0];
        break;
    }
    return place;
}
} // namespace

const QList<LayoutColumn> &Layouts()
{
    using Accounts::Mode1024;
    using Accounts::Mode1440;
    const QSize limit1024(1028, 742);
    const QSize limit1440(1440, 874);
    static const QList<LayoutColumn> layouts = {
        {0, Mode1024, false, QSize(792, 571), QSize(1024, 768), limit1024, PanelGrid {3, 210, 217, 15},
            QStringLiteral("Res/LeftBar.bmp"), QStringLiteral("Res/RightBar.bmp")},
        {1, Mode1024, true, QSize(), QSize(1024, 768), limit1024, PanelGrid {4, 216, 223, 28},
            QStringLiteral("Res/LeftBar2.bmp"), QStringLiteral("Res/RightBar2.bmp")},
        {2, Mode1440, false, QSize(1028, 742), QSize(1440, 900), limit1440, PanelGrid {4, 216, 223, 28},
            QStringLiteral("Res/LeftBar2.bmp"), QStringLiteral("Res/RightBar2.bmp")},
        {3, Mode1440, true, QSize(), QSize(1440, 900), limit1440, PanelGrid {5, 236, 243, 40},
            QStringLiteral("Res/LeftBar3.bmp"), QStringLiteral("Res/RightBar3.bmp")},
    };
    return layouts;
}

PageLayout LayoutColumn::page(const QString &pageName) const
{
    PageLayout part;
    part.panels = panels;
    for (const Row &row : Rows)
        if (row.page == pageName)
            part.controls.append(placeOf(row, column));
    return part;
}

const LayoutColumn *LayoutFor(const QString &screenPixel, bool maximized)
{
    for (const LayoutColumn &layout : Layouts())
        if (layout.screenPixel == screenPixel && layout.maximized == maximized)
            return &layout;
    return nullptr;
}

const LayoutColumn &DesignLayout()
{
    return Layouts().constFirst();
}

QSize MaximizedWindowSize(const LayoutColumn &layout, const QSize &platformSize)
{
    return QSize(
        platformSize.width() > layout.limitFrom.width() ? layout.sizeLimit.width() : platformSize.width(),
        platformSize.height() > layout.limitFrom.height() ? layout.sizeLimit.height()
                                                          : platformSize.height());
}

QSize InnerSize(const QSize &outer, const QMargins &frame)
{
    return QSize(outer.width() - frame.left() - frame.right(), outer.height() - frame.top() - frame.bottom());
}

} // namespace MainLayout
