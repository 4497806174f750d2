#include "watch/WatchChoices.h"

#include "watch/GbkText.h"

#include <algorithm>
#include <iterator>

namespace watch {
namespace {

template <typename Choice> std::vector<std::string> Texts(const std::vector<Choice>& table) {
    std::vector<std::string> texts;
    std::transform(table.begin(), table.end(), std::back_inserter(texts),
                   [](const Choice& choice) { return choice.Text; });
    return texts;
}

} // namespace

const std::vector<TCodedChoice>& RegionTable() {
    // The board's area codes skip 0400 and 1400.
    static const std::vector<TCodedChoice> table = {
        {Gbk("北京"), "0100"},   {Gbk("上海"), "0200"},     {Gbk("广东省"), "0300"},
        {Gbk("天津"), "0500"},   {Gbk("重庆"), "0600"},     {Gbk("江苏省"), "0700"},
        {Gbk("浙江省"), "0800"}, {Gbk("四川省"), "0900"},   {Gbk("海南省"), "1000"},
        {Gbk("福建省"), "1100"}, {Gbk("山东省"), "1200"},   {Gbk("江西省"), "1300"},
        {Gbk("安徽省"), "1500"}, {Gbk("河北省"), "1600"},   {Gbk("河南省"), "1700"},
        {Gbk("湖北省"), "1800"}, {Gbk("湖南省"), "1900"},   {Gbk("陕西省"), "2000"},
        {Gbk("山西省"), "2100"}, {Gbk("黑龙江省"), "2200"}, {Gbk("辽宁省"), "2300"},
        {Gbk("吉林省"), "2400"}, {Gbk("云南省"), "2500"},   {Gbk("贵州省"), "2600"},
        {Gbk("甘肃省"), "2700"}, {Gbk("内蒙古"), "2800"},   {Gbk("宁夏"), "2900"},
        {Gbk("西藏"), "3000"},   {Gbk("新疆"), "3100"},     {Gbk("青海省"), "3200"},
        {Gbk("香港"), "3300"},   {Gbk("澳门"), "3400"},     {Gbk("台湾"), "3500"},
        {Gbk("国外"), "3600"},
    };
    return table;
}

const std::vector<TCodedChoice>& DateWindowTable() {
    static const std::vector<TCodedChoice> table = {
        {Gbk("一天内"), "1"},
        {Gbk("二天内"), "2"},
        {Gbk("三天内"), "3"},
    };
    return table;
}

const std::vector<TIntervalChoice>& IntervalTable() {
    static const std::vector<TIntervalChoice> table = {
        {Gbk("半小时"), 1800000}, {Gbk("1小时"), 3600000},  {Gbk("2小时"), 7200000},
        {Gbk("3小时"), 10800000}, {Gbk("4小时"), 14400000}, {Gbk("2分钟(仅供测试)"), 120000},
    };
    return table;
}

std::vector<std::string> SearchTimeItems() {
    return Texts(IntervalTable());
}
std::vector<std::string> CityItems() {
    return Texts(RegionTable());
}
std::vector<std::string> PubDateItems() {
    return Texts(DateWindowTable());
}

} // namespace watch
