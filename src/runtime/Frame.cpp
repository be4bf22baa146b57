#include "runtime/Frame.h"

#include <GL/glew.h>

#include "audio/BassAudio.h"
#include "runtime/Demo.h"

namespace Tarvo {

bool drawFrame(aDemo& demo, const FrameRow& row, const std::function<double()>& time)
{
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    if (!(row.given ? demo.updateRow(row.row) : demo.updateRow()))
        return false;
    demo.run(time());
    // A stepped row plays no music: the capture decodes it instead.
    if (!row.given)
        BASS_Update(0);
    return true;
}

} // namespace Tarvo
