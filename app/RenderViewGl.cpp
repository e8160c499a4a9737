#include "app/RenderViewState.h"
