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
    // Place names are kept in lower case, so that a location is the only text lowered.
    static const std::vector<TRegion> table = {
        {Gbk("北京"), "0100", {"北京", "beijing", "peking"}},
        {Gbk("上海"), "0200", {"上海", "shanghai"}},
        {Gbk("广东省"), "0300", {"广东", "guangdong", "深圳", "shenzhen", "广州", "guangzhou", "东莞", "dongguan", "珠海", "zhuhai", "佛山", "foshan"}},
        {Gbk("天津"), "0500", {"天津", "tianjin"}},
        {Gbk("重庆"), "0600", {"重庆", "chongqing"}},
        {Gbk("江苏省"), "0700", {"江苏", "jiangsu", "南京", "nanjing", "苏州", "suzhou", "无锡", "wuxi"}},
        {Gbk("浙江省"), "0800", {"浙江", "zhejiang", "杭州", "hangzhou", "宁波", "ningbo"}},
        {Gbk("四川省"), "0900", {"四川", "sichuan", "成都", "chengdu"}},
        {Gbk("海南省"), "1000", {"海南", "hainan", "海口", "haikou", "三亚", "sanya"}},
        {Gbk("福建省"), "1100", {"福建", "fujian", "福州", "fuzhou", "厦门", "xiamen"}},
        {Gbk("山东省"), "1200", {"山东", "shandong", "济南", "jinan", "青岛", "qingdao"}},
        {Gbk("江西省"), "1300", {"江西", "jiangxi", "南昌", "nanchang"}},
        {Gbk("安徽省"), "1500", {"安徽", "anhui", "合肥", "hefei"}},
        {Gbk("河北省"), "1600", {"河北", "hebei", "石家庄", "shijiazhuang"}},
        {Gbk("河南省"), "1700", {"河南", "henan", "郑州", "zhengzhou"}},
        {Gbk("湖北省"), "1800", {"湖北", "hubei", "武汉", "wuhan"}},
        {Gbk("湖南省"), "1900", {"湖南", "hunan", "长沙", "changsha"}},
        {Gbk("陕西省"), "2000", {"陕西", "shaanxi", "西安", "xi'an"}},
        {Gbk("山西省"), "2100", {"山西", "shanxi", "太原", "taiyuan"}},
        {Gbk("黑龙江省"), "2200", {"黑龙江", "heilongjiang", "哈尔滨", "harbin"}},
        {Gbk("辽宁省"), "2300", {"辽宁", "liaoning", "沈阳", "shenyang", "大连", "dalian"}},
        {Gbk("吉林省"), "2400", {"吉林", "jilin", "长春", "changchun"}},
        {Gbk("云南省"), "2500", {"云南", "yunnan", "昆明", "kunming"}},
        {Gbk("贵州省"), "2600", {"贵州", "guizhou", "贵阳", "guiyang"}},
        {Gbk("甘肃省"), "2700", {"甘肃", "gansu", "兰州", "lanzhou"}},
        {Gbk("内蒙古"), "2800", {"内蒙古", "inner mongolia", "呼和浩特", "hohhot"}},
        {Gbk("宁夏"), "2900", {"宁夏", "ningxia", "银川", "yinchuan"}},
        {Gbk("西藏"), "3000", {"西藏", "tibet", "xizang", "拉萨", "lhasa"}},
        {Gbk("新疆"), "3100", {"新疆", "xinjiang", "乌鲁木齐", "urumqi"}},
        {Gbk("青海省"), "3200", {"青海", "qinghai", "西宁", "xining"}},
        {Gbk("香港"), "3300", {"香港", "hong kong"}},
        {Gbk("澳门"), "3400", {"澳门", "macau", "macao"}},
        {Gbk("台湾"), "3500", {"台湾", "taiwan", "台北", "taipei"}},
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
            return lowered.find(place) != std::string::npos;
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
