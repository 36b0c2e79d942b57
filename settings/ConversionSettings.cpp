#include "settings/ConversionSettings.h"

double FrameRateOfChoice(int32_t& index, double sourceRate, double typedRate) {
  switch (index) {
    case 0:
      return sourceRate;
    case 1:
      return 23.976;
    case 2:
      return 24.0;
    case 3:
      return 25.0;
    case 4:
      return 29.97;
    case 5:
      return 30.0;
    case 6:
      return typedRate;
    default:
      index = 1;
      return 23.976;
  }
}
