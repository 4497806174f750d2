#pragma once

#include <QObject>

// The window and every control: names, containers, geometry, texts, items, tab order, and
// the settings that fill them.
class LayoutTest : public QObject {
    Q_OBJECT

private slots:
    void windowIsFixedAndCaptioned();
    void controlsSitWhereTheLayoutPutsThem();
    void selectorsOfferTheirItems();
    void tabOrderFollowsEachContainer();
    void labelsAreLargerThanTheRestAndShowTheirWholeText();
    void linksAreBlueAndTheRecommendationUnderlined();
    void freshStartShowsDefaultsAndIdleButtons();
    void settingsFillTheControlsAndSaveWritesThemBack();
    void theBoardOfTheSettingsIsSearchedAndWrittenBackUnchanged();
};
