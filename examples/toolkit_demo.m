function toolkit_demo
%TOOLKIT_DEMO  A short tour of the toolkit on synthetic data.
%   Evaluates a 3-D Gaussian spot on a grid with GAUSS3_EVAL and prints a
%   short report.

fprintf('MEX toolkit demo\n================\n\n');

% A spot centred off-grid, wider along z as in a microscope's focus.
centre = [10.3, 9.6, 6.2];
sxy = 1.5;
sz = 3.0;
[x, y, z] = ndgrid(1:20, 1:20, 1:12);
v = gauss3_eval(x(:), y(:), z(:), centre, sxy, sz);

[peak, at] = max(v);
fprintf('gauss3_eval: %d samples of a spot at (%.1f, %.1f, %.1f), sxy = %.1f, sz = %.1f\n', ...
        numel(v), centre, sxy, sz);
fprintf('  brightest voxel (%d, %d, %d), value %.4f\n', x(at), y(at), z(at), peak);
fprintf('  value at the sample (1, 0, 2) of a unit spot: %.17g = exp(-1)\n', ...
        gauss3_eval(1, 0, 2, [0 0 0], 1, 2));
end
