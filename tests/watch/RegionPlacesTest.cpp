#include "watch/GbkText.h"
#include "watch/WatchChoices.h"

#include <gtest/gtest.h>

using watch::Gbk;

TEST(RegionPlaces, EveryRegionOfTheSelectorIsInTheTable) {
    EXPECT_EQ(watch::RegionTable().size(), 34u);
    EXPECT_EQ(watch::CityItems().front(), Gbk("北京"));
    EXPECT_EQ(watch::CityItems().back(), Gbk("国外"));
}

TEST(RegionPlaces, ALocationLiesInTheRegionItOrOneOfItsChiefCitiesNames) {
    struct TCase {
        std::string Location;
        std::string Region;
        bool In;
    };
    for (const TCase& c : std::vector<TCase>{
             {"Shanghai, China", "上海", true},
             {"SHANGHAI", "上海", true},
             {"上海市浦东新区", "上海", true},
             {"Shenzhen, Guangdong", "广东省", true},
             {"广州", "广东省", true},
             {"Guangzhou", "北京", false},
             {"Hangzhou", "浙江省", true},
             {"Suzhou; Nanjing", "江苏省", true},
             {"成都", "四川省", true},
             {"Wuhan", "湖北省", true},
             {"Xi'an", "陕西省", true},
             {"Xi'an", "山西省", false},
             {"Taiyuan, Shanxi", "山西省", true},
             {"Hong Kong SAR", "香港", true},
             {"澳门", "澳门", true},
             {"Macau", "澳门", true},
             {"Macao", "澳门", true},
             {"Berlin, Germany", "国外", true},
             {"Remote", "国外", true},
             {"", "国外", true},
             {"Shanghai or Remote", "国外", false},
             {"Hong Kong", "国外", false},
             {"Berlin", "火星", true},
             {"Berlin", "", true},
         }) {
        EXPECT_EQ(watch::LocationInRegion(c.Location, Gbk(c.Region)), c.In)
            << c.Location << " in " << c.Region;
    }
}
