function offsets_nanfill(moddir, repeats)
%OFFSETS_NANFILL  Octave peers and end-to-end times of pairwise_offsets and fill_nan.
%   Run from the shell, with and without huge pages for Octave's arrays:
%
%      octave-cli --eval "addpath('bench/peers'); offsets_nanfill('build/release/octave')"
%      GLIBC_TUNABLES=glibc.malloc.hugetlb=1 octave-cli --eval "..."
%
%   Prints the median of several calls: Octave's implicit expansion against
%   pairwise_offsets, and Y = X; Y(isnan(Y)) = v against fill_nan, on 10^8
%   doubles and 10^8 singles with 1 % NaN. REPEATS calls each (default 5).
addpath(moddir);
if nargin < 2
  repeats = 5;
end
shapes = [5000 5000; 20000 2000];
for k = 1:2
  m = shapes(k, 1); n = shapes(k, 2);
  p = 2000 * rand(m, 2) - 1000;
  q = 2000 * rand(n, 2) - 1000;
  t_peer = median_time(@() expansion(p, q), repeats);
  t_mex = median_time(@() offsets(p, q), repeats);
  printf('octave implicit expansion m=%d n=%d: %8.1f ms %6.2f ns/entry\n', m, n, t_peer * 1e3, t_peer / (m * n) * 1e9);
  printf('octave pairwise_offsets   m=%d n=%d: %8.1f ms %6.2f ns/entry\n', m, n, t_mex * 1e3, t_mex / (m * n) * 1e9);
end
clear p q
count = 1e8;
for cls = {'double', 'single'}
  x = rand(count, 1, cls{1});
  x(rand(count, 1) < 0.01) = NaN;
  t_peer = median_time(@() assign_fill(x, 0), repeats);
  t_mex = median_time(@() nan_fill(x, 0), repeats);
  bytes = count * (1 + strcmp(cls{1}, 'double')) * 4;
  printf('octave Y(isnan(Y)) = v %s n=%d: %8.1f ms %6.2f GB/s\n', cls{1}, count, t_peer * 1e3, bytes / t_peer / 1e9);
  printf('octave fill_nan        %s n=%d: %8.1f ms %6.2f GB/s\n', cls{1}, count, t_mex * 1e3, bytes / t_mex / 1e9);
  clear x
end
end

function t = median_time(f, repeats)
times = zeros(repeats, 1);
for r = 1:repeats
  start = tic;
  f();
  times(r) = toc(start);
end
t = median(times);
end

function expansion(p, q)
dx = q(:, 1).' - p(:, 1);
dy = q(:, 2).' - p(:, 2);
end

function offsets(p, q)
[dx, dy] = pairwise_offsets(p, q);
end

function nan_fill(x, v)
y = fill_nan(x, v);
end

function assign_fill(x, v)
y = x;
y(isnan(y)) = v;
end
