#include "processing/Random15.h"

CRandom15& SharedRandom15() {
  static CRandom15 generator;
  return generator;
}
