// A reader that names its setting as text: the name check must refuse it.
auto file = settings.readString("CameraFile");
auto label = QStringLiteral("Speed"); // shown text is allowed
