// Placeholder until the Qt views land.
