#include "core/geometry.h"

namespace tarnelo {

OuterRect centredOuterRect(int screenWidth, int screenHeight, int width, int height)
{
    return {centredOrigin(screenWidth, width), centredOrigin(screenHeight, height), width, height};
}

} // namespace tarnelo
