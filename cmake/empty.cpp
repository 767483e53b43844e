// Stands in for a library whose sources have not arrived yet.
