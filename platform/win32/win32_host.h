#pragma once
// The adapters of the Windows program, for programs built from the same sources that look at what
// they do (the tests under Wine): the same instances CreateHostPlatform installs.

class Direct3D9RenderDevice;
class DirectSound8Device;

Direct3D9RenderDevice& HostRenderDevice();
DirectSound8Device& HostSoundDevice();
