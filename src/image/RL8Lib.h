// The image library: everything a window needs to open libraries, get images
// and surfaces, compose them and paint them.
#pragma once
#include "image/ImageList.h"
#include "image/ImageNode.h"
#include "image/RL8Banding.h"
#include "image/RL8Exception.h"
#include "image/RL8Image.h"
#include "image/RL8ImageData.h"
#include "image/RL8ImageSegment.h"
#include "image/RL8Library.h"
#include "platform/BitmapInfo.h"
#include "platform/DrawTarget.h"
#include "platform/LogPalette.h"
