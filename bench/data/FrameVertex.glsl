// Passes the position through unchanged: vertices already come in normalized
// device coordinates.
void main()
{
    gl_FrontColor = gl_Color;
    gl_Position = gl_Vertex;
}
