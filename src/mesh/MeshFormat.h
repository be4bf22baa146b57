// The integer that picks a mesh reader when a model is built: 0 OBJ text, 1 PLY header,
// 2 binary ".bobj"; any other value reads OBJ text, as the show's data expects.
#pragma once

namespace Tarvo {

using MeshFormat = int;

inline constexpr MeshFormat MeshFormatObj = 0;
inline constexpr MeshFormat MeshFormatPly = 1;
inline constexpr MeshFormat MeshFormatBinary = 2;

} // namespace Tarvo
