#include "watch/WatchChoices.h"

#include "watch/GbkText.h"
#include "watch/MarkerText.h"

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

const std::vector<TRegion>& RegionTable() {
    // The board's area codes skip 0400 and 1400. "国外" is every place the others do not name.
    static const std::vector<TRegion> table = {
        {Gbk("北京"), "0100", {"北京", "Beijing", "Peking"}},
        {Gbk("上海"), "0200", {"上海", "Shanghai"}},
        {Gbk("广东省"), "0300", {"广东", "Guangdong", "深圳", "Shenzhen", "广州", "Guangzhou", "东莞", "Dongguan", "珠海", "Zhuhai", "佛山", "Foshan"}},
        {Gbk("天津"), "0500", {"天津", "Tianjin"}},
        {Gbk("重庆"), "0600", {"重庆", "Chongqing"}},
        {Gbk("江苏省"), "0700", {"江苏", "Jiangsu", "南京", "Nanjing", "苏州", "Suzhou", "无锡", "Wuxi"}},
        {Gbk("浙江省"), "0800", {"浙江", "Zhejiang", "杭州", "Hangzhou", "宁波", "Ningbo"}},
        {Gbk("四川省"), "0900", {"四川", "Sichuan", "成都", "Chengdu"}},
        {Gbk("海南省"), "1000", {"海南", "Hainan", "海口", "Haikou", "三亚", "Sanya"}},
        {Gbk("福建省"), "1100", {"福建", "Fujian", "福州", "Fuzhou", "厦门", "Xiamen"}},
        {Gbk("山东省"), "1200", {"山东", "Shandong", "济南", "Jinan", "青岛", "Qingdao"}},
        {Gbk("江西省"), "1300", {"江西", "Jiangxi", "南昌", "Nanchang"}},
        {Gbk("安徽省"), "1500", {"安徽", "Anhui", "合肥", "Hefei"}},
        {Gbk("河北省"), "1600", {"河北", "Hebei", "石家庄", "Shijiazhuang"}},
        {Gbk("河南省"), "1700", {"河南", "Henan", "郑州", "Zhengzhou"}},
        {Gbk("湖北省"), "1800", {"湖北", "Hubei", "武汉", "Wuhan"}},
        {Gbk("湖南省"), "1900", {"湖南", "Hunan", "长沙", "Changsha"}},
        {Gbk("陕西省"), "2000", {"陕西", "Shaanxi", "西安", "Xi'an"}},
        {Gbk("山西省"), "2100", {"山西", "Shanxi", "太原", "Taiyuan"}},
        {Gbk("黑龙江省"), "2200", {"黑龙江", "Heilongjiang", "哈尔滨", "Harbin"}},
        {Gbk("辽宁省"), "2300", {"辽宁", "Liaoning", "沈阳", "Shenyang", "大连", "Dalian"}},
        {Gbk("吉林省"), "2400", {"吉林", "Jilin", "长春", "Changchun"}},
        {Gbk("云南省"), "2500", {"云南", "Yunnan", "昆明", "Kunming"}},
        {Gbk("贵州省"), "2600", {"贵州", "Guizhou", "贵阳", "Guiyang"}},
        {Gbk("甘肃省"), "2700", {"甘肃", "Gansu", "兰州", "Lanzhou"}},
        {Gbk("内蒙古"), "2800", {"内蒙古", "Inner Mongolia", "呼和浩特", "Hohhot"}},
        {Gbk("宁夏"), "2900", {"宁夏", "Ningxia", "银川", "Yinchuan"}},
        {Gbk("西藏"), "3000", {"西藏", "Tibet", "Xizang", "拉萨", "Lhasa"}},
        {Gbk("新疆"), "3100", {"新疆", "Xinjiang", "乌鲁木齐", "Urumqi"}},
        {Gbk("青海省"), "3200", {"青海", "Qinghai", "西宁", "Xining"}},
        {Gbk("香港"), "3300", {"香港", "Hong Kong"}},
        {Gbk("澳门"), "3400", {"澳门", "Macau", "Macao"}},
        {Gbk("台湾"), "3500", {"台湾", "Taiwan", "台北", "Taipei"}},
        {Gbk("国外"), "3600", {}},
    };
    return table;
}

bool LocationInRegion(const std::string& location, const std::string& regionText) {
    const auto& table = RegionTable();
    auto region = std::find_if(table.begin(), table.end(),
                               [&](const TRegion& row) { return row.Text == regionText; });
    if (region == table.end())
        return true;
    const std::string lowered = LowerAscii(location);
    auto names = [&](const TRegion& row) {
        return std::any_of(row.Places.begin(), row.Places.end(), [&](const std::string& place) {
            return lowered.find(LowerAscii(place)) != std::string::npos;
        });
    };
    if (region->Places.empty())
        return std::none_of(table.begin(), table.end(), names);
    return names(*region);
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
