// GPU test vertex shader. The program sends every vertex already in
// normalized device coordinates of the window (z = -1, w = 1), so the
// position goes through unchanged and the primitives land on the intended
// pixels whatever projection is current. The vertex colour is passed on.

void main()
{
    gl_Position = gl_Vertex;
    gl_FrontColor = gl_Color;
}
