function result = toolkit_demo(workdir, writer)
%TOOLKIT_DEMO  The nine functions of the toolkit at work on a synthetic microscopy stack.
%   RESULT = TOOLKIT_DEMO(WORKDIR, WRITER) synthesises a 3-D stack holding
%   four Gaussian spots and a branching tube in noise, writes it to WORKDIR
%   as a multi-page TIFF with the tool WRITER (write_tiff_stack, built with
%   the toolkit), and then
%     1. reads the stack's geometry back with TIFF_STACK_DIMS,
%     2. cleans simulated dropouts (NaN voxels) with FILL_NAN,
%     3. fits the spot centres by Newton steps built from GAUSS3_EVAL,
%        ACCUM_DERIVS3 (each spot's own gradient and Hessian block) and
%        PAIR_BLOCKS3 (the blocks that couple spots), comparing the first
%        model with GAUSS3_EVAL_APPROX,
%     4. matches fitted to true centres with PAIRWISE_OFFSETS,
%     5. tests the fit residuals for normality with NORMALITY_CHECK,
%     6. thins the thresholded tube to a skeleton with THIN_VOLUME,
%   prints a short report, and draws demo.png in WORKDIR where Octave or
%   MATLAB can draw without a display.
%
%   RESULT holds the numbers of the report (true and fitted centres, their
%   errors, the normality decision, the skeleton's voxel, end-point, branch-
%   point and component counts) for checking.
%
%   With no arguments, WORKDIR is a new temporary folder and WRITER is looked
%   up beside the modules of a CMake build (build/<preset>/bin).

if nargin < 1 || isempty(workdir)
  workdir = tempname();
end
if nargin < 2 || isempty(writer)
  writer = fullfile(fileparts(fileparts(which('gauss3_eval'))), 'bin', 'write_tiff_stack');
end
if ~exist(workdir, 'dir')
  mkdir(workdir);
end

fprintf('Toolkit demo: a synthetic stack from spots to skeleton\n');
fprintf('======================================================\n\n');

%% The stack: rows are x, columns y, slices z.
rand('state', 11);   %#ok<RAND> reproducible in MATLAB and Octave
randn('state', 11);  %#ok<RAND>
dims = [96 96 40];
[X, Y, Z] = ndgrid(1:dims(1), 1:dims(2), 1:dims(3));
sxy = 1.8;
sz = 2.6;
noise = 0.03;
true_centres = [20.3 18.7 12.4; 31.6 47.2 20.8; 17.9 70.4 27.3; 34.2 82.1 15.6];
spots = zeros(dims);
for j = 1:size(true_centres, 1)
  spots = spots + reshape(gauss3_eval(X(:), Y(:), Z(:), true_centres(j, :), sxy, sz), dims);
end
% A tube of radius 2.5 along a trunk that forks in two, away from the spots.
fork = [72 48 20];
segments = {[60 10 20; fork], [fork; 62 86 12], [fork; 88 84 30]};
tube = false(dims);
for s = 1:numel(segments)
  tube = tube | distance_to_segment(X, Y, Z, segments{s}) <= 2.5;
end
stack = spots + double(tube) + noise * randn(dims);

%% 1. Write it as a TIFF stack and read its geometry back.
path = fullfile(workdir, 'stack.tif');
write_stack(stack, path, workdir, writer);
geometry = tiff_stack_dims(path);
fprintf('1. tiff_stack_dims: %s holds %d x %d pixels x %d slices (synthesised: %d x %d x %d)\n', ...
        path, geometry, dims);

%% 2. Dropouts: NaN voxels, replaced by the background level.
dropout = rand(dims) < 0.002;
stack(dropout) = NaN;
clean = fill_nan(stack, 0);
fprintf('2. fill_nan: %d dropout voxels replaced by 0; NaNs left: %d\n', ...
        nnz(dropout), nnz(isnan(clean)));

%% 3. Spot centres: start at the brightest voxels, then Newton steps.
in_spot_region = X <= 48 & ~dropout;
xs = X(in_spot_region);
ys = Y(in_spot_region);
zs = Z(in_spot_region);
data = clean(in_spot_region);
centres = brightest_voxels(clean .* (X <= 48), size(true_centres, 1), 6);
fprintf('3. Newton fit of %d spot centres on %d voxels (widths sxy = %.1f, sz = %.1f known)\n', ...
        size(centres, 1), numel(data), sxy, sz);
exact = gauss3_eval(xs, ys, zs, centres(1, :), sxy, sz);
approx = double(gauss3_eval_approx(xs, ys, zs, centres(1, :), sxy, sz));
fprintf('   gauss3_eval_approx differs from gauss3_eval by at most %.1e on the first spot\n', ...
        max(abs(approx - exact)));
for iteration = 1:10
  [step, residuals] = newton_step(xs, ys, zs, data, centres, sxy, sz);
  centres = centres + step;
  fprintf('   step %d: largest centre move %.2e, residual sum of squares %.4f\n', ...
          iteration, max(abs(step(:))), sum(residuals .^ 2));
  if max(abs(step(:))) < 1e-7
    break;
  end
end
[~, residuals] = newton_step(xs, ys, zs, data, centres, sxy, sz);

%% 4. Match fitted to true centres by their lateral offsets.
[dx, dy] = pairwise_offsets(true_centres(:, 1:2), centres(:, 1:2));
[~, match] = min(dx .^ 2 + dy .^ 2, [], 2);
errors = centres(match, :) - true_centres;
fprintf('4. pairwise_offsets: fitted centres matched to the true ones\n');
fprintf('   spot   true (x, y, z)          fitted (x, y, z)        error (x, y, z)\n');
for j = 1:size(true_centres, 1)
  fprintf('   %d    (%5.2f, %5.2f, %5.2f)   (%5.2f, %5.2f, %5.2f)   (%+.3f, %+.3f, %+.3f)\n', ...
          j, true_centres(j, :), centres(match(j), :), errors(j, :));
end

%% 5. Are the residuals the noise we put in?
decision = normality_check(sort(residuals), 0, noise, 0.05, 0);
fprintf('5. normality_check: residuals against N(0, %.2f^2) at the 5%% level: %s\n', noise, ...
        ternary(decision, 'normality rejected', 'consistent with normal noise'));

%% 6. The tube's skeleton.
mask = clean > 0.5 & X >= 50;
skeleton = thin_volume(mask);
[ends, branches] = skeleton_points(skeleton);
components = count_components(skeleton);
fprintf('6. thin_volume: %d tube voxels thinned to %d skeleton voxels: %d end point(s), %d branch point(s), %d piece(s)\n', ...
        nnz(mask), nnz(skeleton), ends, branches, components);

picture = draw_picture(clean, skeleton, true_centres, centres, fullfile(workdir, 'demo.png'));
if isempty(picture)
  fprintf('\nNo picture: this host cannot draw without a display.\n');
else
  fprintf('\nPicture: %s\n', picture);
end

result = struct('geometry', geometry, 'true_centres', true_centres, 'centres', centres(match, :), ...
                'errors', errors, 'normality_rejected', decision, 'skeleton_voxels', nnz(skeleton), ...
                'end_points', ends, 'branch_points', branches, 'components', components, ...
                'picture', picture);
end

function d = distance_to_segment(X, Y, Z, ends)
% Distance of every voxel to the segment between two points.
a = ends(1, :);
direction = ends(2, :) - a;
t = ((X - a(1)) * direction(1) + (Y - a(2)) * direction(2) + (Z - a(3)) * direction(3)) / ...
    sum(direction .^ 2);
t = min(max(t, 0), 1);
d = sqrt((X - a(1) - t * direction(1)) .^ 2 + (Y - a(2) - t * direction(2)) .^ 2 + ...
         (Z - a(3) - t * direction(3)) .^ 2);
end

function write_stack(stack, path, workdir, writer)
% 16-bit pixels, background at 4000 so that the noise stays positive.
raw = fullfile(workdir, 'stack.raw');
fid = fopen(raw, 'w');
fwrite(fid, uint16(4000 + 20000 * stack), 'uint16');
fclose(fid);
dims = size(stack);
status = system(sprintf('"%s" "%s" %d %d %d "%s"', writer, raw, dims, path));
delete(raw);
if status ~= 0
  error('toolkit_demo:writer', 'write_tiff_stack failed (looked for it at %s)', writer);
end
end

function centres = brightest_voxels(volume, count, radius)
% The COUNT brightest voxels, each at least RADIUS away from the others.
centres = zeros(count, 3);
for j = 1:count
  [~, at] = max(volume(:));
  [x, y, z] = ind2sub(size(volume), at);
  centres(j, :) = [x y z];
  volume(max(x - radius, 1):x + radius, max(y - radius, 1):y + radius, ...
         max(z - radius, 1):z + radius) = -Inf;
end
end

function [step, residuals] = newton_step(xs, ys, zs, data, centres, sxy, sz)
% One Newton step for the centres of a sum of unit-peak Gaussians fitted to
% DATA by least squares. Each spot's own 3x3 block of the Hessian and its
% gradient come from accum_derivs3; the blocks coupling two spots from
% pair_blocks3.
n = size(centres, 1);
m = numel(data);
[U, V, W, A] = deal(zeros(m, n));
for j = 1:n
  A(:, j) = gauss3_eval(xs, ys, zs, centres(j, :), sxy, sz);
  U(:, j) = (xs - centres(j, 1)) / sxy ^ 2;
  V(:, j) = (ys - centres(j, 2)) / sxy ^ 2;
  W(:, j) = (zs - centres(j, 3)) / sz ^ 2;
end
residuals = data - sum(A, 2);
hessian = pair_blocks3(U, V, W, A);
gradient = zeros(3 * n, 1);
for j = 1:n
  block = 3 * j - 2:3 * j;
  [gradient(block), hessian(block, block)] = accum_derivs3(U(:, j), V(:, j), W(:, j), A(:, j), ...
                                                           residuals, sxy, sz);
end
step = reshape(-(hessian \ gradient), 3, n)';
end

function [ends, branches] = skeleton_points(skeleton)
% End points have one skeleton neighbour. A branch point is a voxel whose
% neighbours fall apart into three or more pieces without it; adjacent such
% voxels make one branch point.
neighbours = convn(double(skeleton), ones(3, 3, 3), 'same') - 1;
ends = nnz(skeleton & neighbours == 1);
junction = false(size(skeleton));
padded = false(size(skeleton) + 2);
padded(2:end - 1, 2:end - 1, 2:end - 1) = skeleton;
for at = find(skeleton & neighbours >= 3)'
  [x, y, z] = ind2sub(size(skeleton), at);
  around = padded(x:x + 2, y:y + 2, z:z + 2);
  around(2, 2, 2) = false;
  junction(at) = count_components(around) >= 3;
end
branches = count_components(junction);
end

function count = count_components(mask)
% Number of 26-connected pieces of a logical volume, by flood fill.
labels = zeros(size(mask));
count = 0;
dims = size(mask);
[dx, dy, dz] = ndgrid(-1:1, -1:1, -1:1);
offsets = [dx(:) dy(:) dz(:)];
for seed = find(mask)'
  if labels(seed) > 0
    continue;
  end
  count = count + 1;
  labels(seed) = count;
  queue = seed;
  while ~isempty(queue)
    [x, y, z] = ind2sub(dims, queue(end));
    queue(end) = [];
    near = [x y z] + offsets;
    inside = all(near >= 1, 2) & all(near <= dims, 2);
    near = sub2ind(dims, near(inside, 1), near(inside, 2), near(inside, 3));
    near = near(mask(near) & labels(near) == 0);
    labels(near) = count;
    queue = [queue; near]; %#ok<AGROW>
  end
end
end

function picture = draw_picture(stack, skeleton, true_centres, centres, path)
% A maximum projection along z with the skeleton and the centres over it.
picture = '';
warning('off', 'Octave:gnuplot-graphics');
try
  figure_handle = figure('visible', 'off');
  imagesc(max(stack, [], 3)');
  axis image;
  colormap(gray);
  hold on;
  [x, y] = find(any(skeleton, 3));
  plot(x, y, 'r.', 'MarkerSize', 8);
  plot(true_centres(:, 1), true_centres(:, 2), 'go', 'MarkerSize', 10);
  plot(centres(:, 1), centres(:, 2), 'c+', 'MarkerSize', 10);
  title('Skeleton (red), true (green o) and fitted (cyan +) centres');
  xlabel('x (rows of the stack)');
  ylabel('y (columns)');
  print(figure_handle, path, '-dpng', '-r100');
  close(figure_handle);
  picture = path;
catch
  picture = '';
end
end

function text = ternary(condition, if_true, if_false)
if condition
  text = if_true;
else
  text = if_false;
end
end
