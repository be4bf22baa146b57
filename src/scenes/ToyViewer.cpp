// The shader-toy scene keeps no framebuffer of its own, so the viewer's frame is that one
// pass; the post-processing base only supplies the interface.
#include "scenes/ToyViewer.h"

namespace OrvelDemo {

ToyViewer::ToyViewer()
    : Tarvo::PostScene("./data/shaders/trivial.fs", 1), toy("./data/shaders/toy.fs")
{
}

void ToyViewer::render(const double& time)
{
    toy.render(time);
}

void ToyViewer::drawScene(const double& time)
{
    (void)time;
}

} // namespace OrvelDemo
